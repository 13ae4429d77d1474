// The open button's drop-down of the configuration files last opened or saved, read afresh from
// the settings file each time it opens.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMenu;
class QToolButton;

namespace korvex {

class UiHost;
struct LanguageState;

class RecentFilesMenu final : public QObject {
    Q_OBJECT
public:
    // `open` runs the open command from the chosen file on.
    RecentFilesMenu(QToolButton* openButton, QString settingsPath, UiHost& host,
                    const LanguageState& language, std::function<void(const QString&)> open);

    QMenu* menu() const { return menu_; }

private:
    void Fill();
    void Choose(const QString& file);

    QToolButton* button_;
    QMenu* menu_;
    QString settingsPath_;
    UiHost& host_;
    const LanguageState& language_;
    std::function<void(const QString&)> open_;
};

} // namespace korvex
