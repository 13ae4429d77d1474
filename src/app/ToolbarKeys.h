// Keyboard keys for the toolbar's commands. A key acts only while its button is enabled, so a
// busy toolbar runs nothing, and each button's hint ends with its key.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

#include <functional>

class QAbstractButton;
class QWidget;

namespace korvex {

class ToolbarKeys final : public QObject {
    Q_OBJECT
public:
    explicit ToolbarKeys(QWidget* window);

    void Bind(QAbstractButton* button, const QKeySequence& key);
    // A key of the window that belongs to no button.
    void Bind(const QKeySequence& key, std::function<void()> action);
    // The hints come from the language table on every language switch; then each bound button's
    // hint gets its key after it, "Hint (Ctrl+O)".
    void ShowKeysInHints();

private:
    struct Binding {
        QAbstractButton* button;
        QKeySequence key;
    };
    QWidget* window_;
    QList<Binding> bindings_;
};

} // namespace korvex
