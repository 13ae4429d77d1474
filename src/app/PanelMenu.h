// The popup menu of the toolbar panel, opened by a right click on the panel: its items, which of
// them show, and their texts in the chosen language. The window connects the items to what they
// do.
#pragma once

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace korvex {

class PanelMenu final : public QObject {
    Q_OBJECT
public:
    // The menu is a child of `window`, so that the language table finds its items.
    PanelMenu(QWidget* window, QWidget* panel);

    QMenu& menu() { return *menu_; }

    // The debug item shows itself and the exchange log item only while it is ticked.
    void ShowDebugItems();
    // The ticks of the two language items and the texts of our own items.
    void LanguageChanged(int language);

    QAction* debug = nullptr;
    QAction* log = nullptr;
    QAction* onlyUsed = nullptr;
    QAction* russian = nullptr;
    QAction* english = nullptr;
    QAction* print = nullptr;
    QAction* exportSheet = nullptr;
    QAction* copyText = nullptr;
    QAction* pasteText = nullptr;
    QAction* about = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* panel_;
    QMenu* menu_ = nullptr;
};

} // namespace korvex
