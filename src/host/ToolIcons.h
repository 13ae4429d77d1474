// The program's own icons, drawn for it as SVG and rendered to PNG at two sizes, so that the
// window needs no image plugin to show them.
#pragma once

#include <QIcon>

namespace korvex {

// The icon NAME of src/app/icons: 20 pixels, and 40 for screens at twice the scale.
QIcon ToolIcon(const char* name);

} // namespace korvex
