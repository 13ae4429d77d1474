// Putting the stored value back into an Enter-only edit that lost its focus.
#include "EnterOnlyEdit.h"

#include <QFocusEvent>
#include <QLineEdit>

namespace korvex {

namespace {

class StoredOnFocusOut final : public QObject {
public:
    StoredOnFocusOut(QLineEdit* edit, std::function<QString()> storedText)
        : QObject(edit), edit_(edit), storedText_(std::move(storedText)) {
        edit->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == edit_ && event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
                const QString stored = storedText_();
                if (edit_->text() != stored)
                    edit_->setText(stored);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QLineEdit* edit_;
    std::function<QString()> storedText_;
};

} // namespace

void ShowStoredOnFocusOut(QLineEdit* edit, std::function<QString()> storedText) {
    new StoredOnFocusOut(edit, std::move(storedText));
}

} // namespace korvex
