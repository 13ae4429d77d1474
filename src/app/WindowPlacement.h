// Where message boxes and file dialogs go: over the centre of the main window.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace korvex {

// The top-left corner of a message box over `mainWindow` (its frame, in screen pixels): centred
// and 50 pixels lower; without the box's size, 200 pixels up and left of the centre instead.
// Not kept on the screen.
QPoint MessageBoxPosition(QRect mainWindow, std::optional<QSize> box);

// The top-left corner of a file dialog: centred over `mainWindow` but pushed back inside the
// bottom and right edges of `screen`; without the dialog's size, 200 pixels up and left of the
// centre. Negative coordinates become 0.
QPoint DialogPosition(QRect mainWindow, std::optional<QSize> dialog, QSize screen);

// Where a window of `frame` (its place and size) goes once its screens are known: where it is
// when its title bar's middle lies on one of `screens` (their free areas) and it is no larger
// than that screen; otherwise sized to fit the first screen it touches (or the first of all) and
// moved wholly onto it.
QRect FitOnScreens(QRect frame, const QList<QRect>& screens);

} // namespace korvex
