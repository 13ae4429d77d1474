// The recent files drop-down.
#include "RecentFilesMenu.h"

#include "app/RecentFiles.h"
#include "text/TextPair.h"

#include <QDir>
#include <QMenu>
#include <QToolButton>

namespace korvex {

namespace {
constexpr TextPair NoRecentFiles{"Нет недавних файлов", "No recent files"};
} // namespace

RecentFilesMenu::RecentFilesMenu(QToolButton* openButton, QString settingsPath, UiHost& host,
                                 const LanguageState& language,
                                 std::function<void(const QString&)> open)
    : QObject(openButton), button_(openButton), menu_(new QMenu(openButton)),
      settingsPath_(std::move(settingsPath)), host_(host), language_(language),
      open_(std::move(open)) {
    menu_->setObjectName(QStringLiteral("PopupMenuRecentFilesx"));
    button_->setMenu(menu_);
    button_->setPopupMode(QToolButton::MenuButtonPopup);
    connect(menu_, &QMenu::aboutToShow, this, &RecentFilesMenu::Fill);
}

void RecentFilesMenu::Fill() {
    menu_->clear();
    const QStringList files = ReadRecentFiles(settingsPath_);
    for (int i = 0; i < files.size(); ++i) {
        const QString shown = QDir::toNativeSeparators(files[i]);
        // "&1 /path/car.KSWA": the digit picks it from the keyboard; a "&" in the name is text.
        QString text = shown;
        text.replace(u'&', QStringLiteral("&&"));
        QAction* item = menu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(text));
        item->setObjectName(QStringLiteral("MenuItemRecentFile%1x").arg(i + 1));
        const QString file = files[i];
        connect(item, &QAction::triggered, this, [this, file] { Choose(file); });
    }
    if (files.isEmpty())
        menu_->addAction(LangText(NoRecentFiles, language_))->setEnabled(false);
}

void RecentFilesMenu::Choose(const QString& file) {
    // The drop-down of a disabled button cannot open, but a command may have started meanwhile.
    if (!button_->isEnabled())
        return;
    if (RecentFileStillThere(settingsPath_, file, host_, language_.current))
        open_(file);
}

} // namespace korvex
