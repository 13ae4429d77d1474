// The cover over a tab scrolled half out of its strip.
#include "WholeTabs.h"

#include <QEvent>
#include <QTabBar>

namespace korvex {

WholeTabsAtLeft::WholeTabsAtLeft(QTabBar* bar) : QObject(bar), bar_(bar), cover_(new QWidget(bar)) {
    cover_->setAutoFillBackground(true);
    cover_->setBackgroundRole(QPalette::Window);
    // A click on what is covered chooses nothing.
    cover_->setAttribute(Qt::WA_NoMousePropagation);
    cover_->hide();
    bar_->installEventFilter(this);
}

bool WholeTabsAtLeft::eventFilter(QObject* watched, QEvent* event) {
    // Every scroll repaints the strip, so its paint is the moment to follow it.
    if (watched == bar_ && (event->type() == QEvent::Paint || event->type() == QEvent::Resize))
        place();
    return QObject::eventFilter(watched, event);
}

void WholeTabsAtLeft::place() {
    QRect cut;
    for (int i = 0; i < bar_->count(); ++i) {
        const QRect tab = bar_->tabRect(i);
        if (tab.isValid() && tab.left() < 0 && tab.right() >= 0) {
            cut = QRect(0, 0, tab.right() + 1, bar_->height());
            break;
        }
    }
    if (cut.isNull()) {
        if (cover_->isVisible())
            cover_->hide();
        return;
    }
    if (cover_->geometry() != cut)
        cover_->setGeometry(cut);
    if (!cover_->isVisible()) {
        cover_->show();
        cover_->raise();
    }
}

} // namespace korvex
