// The main window.
#include "MainWindow.h"

#include "text/TextPair.h"

#include <QLabel>

namespace korvex {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    static constexpr TextPair Title{"Программа настройки KORVEX-SWC-ADP. Версия %s",
                                    "Setup program KORVEX-SWC-ADP. Version %s"};
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(LangFormat(Title, SystemDefaultLanguage(), KORVEX_VERSION_TEXT));
    setMinimumSize(720, 513);
    auto* label = new QLabel(this);
    label->setAlignment(Qt::AlignCenter);
    setCentralWidget(label);
}

} // namespace korvex
