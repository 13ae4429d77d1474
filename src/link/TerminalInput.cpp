// The terminal's input memo.
#include "TerminalInput.h"

#include "link/Terminal.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

namespace korvex {

TerminalInput::TerminalInput(QPlainTextEdit* memo, std::function<void(const QString&)> send)
    : QObject(memo), memo_(memo), viewport_(memo->viewport()), send_(std::move(send)) {
    memo_->installEventFilter(this);
    viewport_->installEventFilter(this);
}

bool TerminalInput::eventFilter(QObject* watched, QEvent* event) {
    if (watched == memo_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const TerminalEnter enter =
                TerminalEnterKey(memo_->toPlainText(), memo_->textCursor().position());
            if (enter.send)
                send_(enter.line);
            return !enter.letThrough;
        }
    }
    if (watched == viewport_ && event->type() == QEvent::MouseButtonDblClick) {
        memo_->clear();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvex
