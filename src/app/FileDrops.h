// Files dropped anywhere on the main window: a configuration file opens, a firmware file starts
// the update, anything else gets a notice. Nothing is taken while a command runs.
#pragma once

#include "app/DroppedFiles.h"

#include <QObject>

#include <functional>

class QWidget;

namespace korvex {

class FileDrops final : public QObject {
    Q_OBJECT
public:
    // `busy` tells whether a command runs; `act` receives what was dropped, from the event loop
    // after the drop has ended (the sender of the drag waits for the drop to return).
    FileDrops(QWidget* window, std::function<bool()> busy,
              std::function<void(const DroppedFile&)> act);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    std::function<bool()> busy_;
    std::function<void(const DroppedFile&)> act_;
};

} // namespace korvex
