// The toolbar panel's popup menu.
#include "PanelMenu.h"

#include "text/TextPair.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace korvex {

namespace {
constexpr TextPair PrintItemText{"Печать...", "Print..."};
constexpr TextPair ExportItemText{"Экспорт...", "Export..."};
constexpr TextPair CopyTextItemText{"Копировать текстом", "Copy as text"};
constexpr TextPair PasteTextItemText{"Вставить текст", "Paste text"};
constexpr TextPair AboutItemText{"О программе...", "About..."};
} // namespace

PanelMenu::PanelMenu(QWidget* window, QWidget* panel)
    : QObject(window), panel_(panel), menu_(new QMenu(window)) {
    panel_->setContextMenuPolicy(Qt::PreventContextMenu);
    panel_->installEventFilter(this);
    menu_->setObjectName(QStringLiteral("PopupMenuMain"));
    auto item = [this](const char* name, const QString& caption, bool checkable) {
        auto* action = menu_->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setCheckable(checkable);
        return action;
    };
    debug = item("MenuItemDebug", QStringLiteral("Отладка"), true);
    log = item("MenuItemLog", QStringLiteral("Лог обмена"), true);
    log->setVisible(false);
    onlyUsed = item("MenuItemOnlyUsed",
                    QStringLiteral("Отображать только используемые события и реакции"), true);
    QAction* writeNow = item("MenuItemWriteNow", QStringLiteral("Применить параметры сразу"), true);
    writeNow->setVisible(false); // never shown
    QMenu* languages = menu_->addMenu(QStringLiteral("Язык/Language"));
    languages->setObjectName(QStringLiteral("MenuLanguagex"));
    languages->menuAction()->setObjectName(QStringLiteral("MenuItemLanguagex"));
    russian = languages->addAction(QStringLiteral("Русский"));
    russian->setObjectName(QStringLiteral("MenuItemLanguageRussianx"));
    russian->setCheckable(true);
    english = languages->addAction(QStringLiteral("English"));
    english->setObjectName(QStringLiteral("MenuItemLanguageEnglishx"));
    english->setCheckable(true);
    // The sheet, then the program itself, after the items the controller's tool always had.
    print = item("MenuItemPrintx", LangText(PrintItemText, LangRussian), false);
    exportSheet = item("MenuItemExportx", LangText(ExportItemText, LangRussian), false);
    // The configuration as text through the clipboard.
    copyText = item("MenuItemCopyTextx", LangText(CopyTextItemText, LangRussian), false);
    pasteText = item("MenuItemPasteTextx", LangText(PasteTextItemText, LangRussian), false);
    menu_->addSeparator();
    about = item("MenuItemAboutx", LangText(AboutItemText, LangRussian), false);
    // Keys for the window, shown beside the items.
    const auto key = [window](QAction* action, const QKeySequence& sequence) {
        action->setShortcut(sequence);
        action->setShortcutContext(Qt::WindowShortcut);
        window->addAction(action);
    };
    key(print, QKeySequence(Qt::CTRL | Qt::Key_P));
    key(exportSheet, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    key(copyText, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    key(pasteText, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    // The panel takes the keyboard's focus, and its menu opens from the keyboard as well.
    panel_->setFocusPolicy(Qt::TabFocus);
}

bool PanelMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Menu ||
            (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier)) {
            menu_->popup(panel_->mapToGlobal(panel_->rect().bottomLeft()));
            return true;
        }
    }
    if (watched == panel_ && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            menu_->popup(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PanelMenu::ShowDebugItems() {
    const bool on = debug->isChecked();
    debug->setVisible(on);
    log->setVisible(on);
}

void PanelMenu::LanguageChanged(int language) {
    russian->setChecked(language != LangEnglish);
    english->setChecked(language == LangEnglish);
    print->setText(LangText(PrintItemText, language));
    exportSheet->setText(LangText(ExportItemText, language));
    copyText->setText(LangText(CopyTextItemText, language));
    pasteText->setText(LangText(PasteTextItemText, language));
    about->setText(LangText(AboutItemText, language));
}

} // namespace korvex
