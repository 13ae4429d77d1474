// Placement arithmetic; all halves truncate toward zero, as the window system's did.
#include "WindowPlacement.h"

#include <algorithm>

namespace korvex {

namespace {

constexpr int FallbackOffset = 200;
constexpr int MessageBoxDrop = 50;

QPoint Centre(QRect mainWindow) {
    return {mainWindow.left() + mainWindow.width() / 2, mainWindow.top() + mainWindow.height() / 2};
}

} // namespace

QPoint MessageBoxPosition(QRect mainWindow, std::optional<QSize> box) {
    const QPoint centre = Centre(mainWindow);
    if (!box)
        return {centre.x() - FallbackOffset, centre.y() - FallbackOffset + MessageBoxDrop};
    return {centre.x() - box->width() / 2, centre.y() - box->height() / 2 + MessageBoxDrop};
}

QPoint DialogPosition(QRect mainWindow, std::optional<QSize> dialog, QSize screen) {
    const QPoint centre = Centre(mainWindow);
    int left = centre.x() - FallbackOffset;
    int top = centre.y() - FallbackOffset;
    if (dialog) {
        left = centre.x() - dialog->width() / 2;
        top = centre.y() - dialog->height() / 2;
        if (top + dialog->height() > screen.height())
            top = screen.height() - dialog->height();
        if (left + dialog->width() > screen.width())
            left = screen.width() - dialog->width();
    }
    return {std::max(left, 0), std::max(top, 0)};
}

QRect FitOnScreens(QRect frame, const QList<QRect>& screens) {
    if (screens.isEmpty())
        return frame;
    const QPoint title(frame.center().x(), frame.top() + 10);
    QRect on = screens.constFirst();
    bool titleShown = false;
    for (const QRect& screen : screens) {
        if (screen.contains(title)) {
            on = screen;
            titleShown = true;
            break;
        }
    }
    if (!titleShown) {
        for (const QRect& screen : screens)
            if (screen.intersects(frame)) {
                on = screen;
                break;
            }
    }
    const QSize size = frame.size().boundedTo(on.size());
    if (titleShown && size == frame.size())
        return frame;
    QRect fitted(frame.topLeft(), size);
    fitted.moveLeft(qBound(on.left(), fitted.left(), on.right() - size.width() + 1));
    fitted.moveTop(qBound(on.top(), fitted.top(), on.bottom() - size.height() + 1));
    return fitted;
}

} // namespace korvex
