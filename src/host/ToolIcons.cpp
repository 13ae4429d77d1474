// The icons from the resources.
#include "ToolIcons.h"

namespace korvex {

QIcon ToolIcon(const char* name) {
    const QString base = QStringLiteral(":/icons/") + QLatin1String(name);
    QIcon icon;
    // Both sizes named, whatever scale the screen has when the icon is made.
    icon.addFile(base + QStringLiteral(".png"), QSize(20, 20));
    icon.addFile(base + QStringLiteral("@2x.png"), QSize(40, 40));
    return icon;
}

} // namespace korvex
