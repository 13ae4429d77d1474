// The About box.
#include "AboutBox.h"

#include "app/AboutText.h"
#include "app/WindowPlacement.h"
#include "host/UiHost.h"

#include <QMessageBox>

namespace korvex {

void ShowAboutBox(QWidget* mainWindow, UiHost& host, const QString& settingsPath, int language) {
    // No poll while it is open, as for every box.
    MonitorSuspension suspended(host);
    QMessageBox box(QMessageBox::Information, LangText(AboutTitle, language),
                    AboutText(settingsPath, language), QMessageBox::Ok, mainWindow);
    box.setObjectName(QStringLiteral("MessageBoxAboutx"));
    box.setTextFormat(Qt::PlainText); // file names may hold "<"
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.adjustSize();
    box.move(MessageBoxPosition(mainWindow->frameGeometry(), box.frameGeometry().size()));
    box.exec();
}

} // namespace korvex
