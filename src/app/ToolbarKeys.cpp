// Toolbar keys.
#include "ToolbarKeys.h"

#include <QAbstractButton>
#include <QShortcut>

namespace korvex {

ToolbarKeys::ToolbarKeys(QWidget* window) : QObject(window), window_(window) {}

void ToolbarKeys::Bind(QAbstractButton* button, const QKeySequence& key) {
    // Owned by the button, so that Qt leaves the key alone while the button is disabled or
    // hidden; and a click does nothing on a disabled button.
    auto* shortcut = new QShortcut(key, button);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
    bindings_.append({button, key});
}

void ToolbarKeys::Bind(const QKeySequence& key, std::function<void()> action) {
    auto* shortcut = new QShortcut(key, window_);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this, std::move(action));
}

void ToolbarKeys::ShowKeysInHints() {
    for (const Binding& b : bindings_) {
        const QString suffix =
            QStringLiteral(" (%1)").arg(b.key.toString(QKeySequence::NativeText));
        const QString hint = b.button->toolTip();
        if (!hint.endsWith(suffix))
            b.button->setToolTip(hint + suffix);
    }
}

} // namespace korvex
