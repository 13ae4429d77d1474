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

} // namespace korvex
