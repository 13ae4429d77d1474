// Dropped files.
#include "FileDrops.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

namespace korvex {

FileDrops::FileDrops(QWidget* window, std::function<bool()> busy,
                     std::function<void(const DroppedFile&)> act)
    : QObject(window), window_(window), busy_(std::move(busy)), act_(std::move(act)) {
    window_->setAcceptDrops(true);
    // The edit boxes and the terminal input take dropped text themselves; a dropped file is the
    // window's wherever it lands.
    qApp->installEventFilter(this);
}

bool FileDrops::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    auto* drop = static_cast<QDropEvent*>(event);
    if (widget == nullptr || widget->window() != window_ || !drop->mimeData()->hasUrls())
        return false;
    if (busy_()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        const DroppedFile dropped = ClassifyDrop(drop->mimeData()->urls());
        QTimer::singleShot(0, this, [this, dropped] {
            if (!busy_())
                act_(dropped);
        });
    }
    return true;
}

} // namespace korvex
