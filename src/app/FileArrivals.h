// Files that come to the window from outside: dropped on it, given on the command line or handed
// over by a second start. A configuration opens (or a snippet applies) as with the open button,
// a firmware file starts the update after a question, anything else gets a notice.
#pragma once

#include "app/DroppedFiles.h"

#include <QObject>
#include <QStringList>

#include <functional>

class QWidget;

namespace korvex {

class WindowHost;
struct AppCore;

class FileArrivals final : public QObject {
    Q_OBJECT
public:
    // `busy`: a command runs, and nothing is taken.
    FileArrivals(QWidget* window, AppCore& core, WindowHost& host, std::function<bool()> busy);

    // The window comes to the front; the file waits until the next OpenHanded.
    void Hand(const QString& fileName);
    // After a tick: the first file handed opens, once no command or box is in the way.
    void OpenHanded();
    void Act(const DroppedFile& file);

private:
    // A firmware file flashes only after a question that names it and both versions.
    void UpdateFromDrop(const QString& path);

    QWidget* window_;
    AppCore& core_;
    WindowHost& host_;
    std::function<bool()> busy_;
    QStringList handed_;
};

} // namespace korvex
