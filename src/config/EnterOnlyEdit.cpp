// Putting the stored value back into an Enter-only edit that lost its focus.
#include "EnterOnlyEdit.h"

#include "config/ValueEntry.h"
#include "host/UiHost.h"

#include <QCursor>
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

bool ShowEditNumberResult(UiHost& host, QLineEdit* edit, const EditNumberResult& result) {
    if (result.result == 0)
        return true;
    host.ShowMessageBox(mb::IconError, result.message);
    edit->setText(result.editText);
    if (result.drawBack) {
        edit->selectAll();
        edit->setFocus();
        QCursor::setPos(edit->mapToGlobal(QPoint(edit->width() / 2, edit->height() / 2)));
    }
    return false;
}

void ShowStoredOnFocusOut(QLineEdit* edit, std::function<QString()> storedText) {
    new StoredOnFocusOut(edit, std::move(storedText));
}

} // namespace korvex
