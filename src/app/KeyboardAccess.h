// What the window offers beyond the mouse: accessible names for every control (screen readers,
// UI automation), Alt+Down on a button with a drop-down, and Ctrl+Z/Ctrl+Y that fall through to
// the configuration's undo when a text field has nothing of its own to take back.
#pragma once

#include <QObject>

class QWidget;

namespace korvex {

// Gives every control under `root` without a name of its own an accessible name in the current
// language: its hint, its text, the label before it, or the page and group it is on. Names set
// here are renewed by another call (after the language switch); names set elsewhere are kept.
void NameControls(QWidget* root);

// Puts the controls of `window` in the Tab order of reading: top to bottom, and left to right
// within a row. Hidden ones keep their place for when they show.
void OrderTabs(QWidget* window);

class KeyboardAccess final : public QObject {
    Q_OBJECT
public:
    // Acts for the widgets of `window` and the dialogs it opens.
    explicit KeyboardAccess(QWidget* window);
    ~KeyboardAccess() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
    bool orderPending_ = false;
};

} // namespace korvex
