// korvex-setup entry point: one instance, the main window, and the two options that are not the
// controller's (--demo, --port).
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "host/QuitSignals.h"
#include "link/PortFinder.h"
#include "link/QtSerialTransport.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLockFile>
#include <QMessageBox>

#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvex-setup"));
    // The installed menu entry and icon carry the program's name.
    QGuiApplication::setDesktopFileName(QStringLiteral("korvex-setup"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("korvex-setup")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KORVEX-SWC-ADP setup"));
    parser.addHelpOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Use the built-in virtual controller."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Use exactly this serial device."),
                                  QStringLiteral("DEVICE"));
    parser.addOption(demo);
    parser.addOption(port);
    parser.process(app);

    QString lockProblem;
    const std::unique_ptr<QLockFile> instance =
        korvex::AcquireSingleInstance(korvex::SingleInstanceLockPath(), &lockProblem);
    if (!instance && lockProblem.isEmpty()) {
        QMessageBox::critical(nullptr, QStringLiteral("Error"),
                              QString::fromLatin1(korvex::AlreadyRunningText));
        return 0;
    }
    if (!instance) { // no guard can be made: the user is told why and works all the same
        const int lang = korvex::SystemDefaultLanguage();
        QMessageBox::warning(nullptr,
                             lang == korvex::LangEnglish ? QStringLiteral("Warning")
                                                         : QStringLiteral("Предупреждение"),
                             korvex::NoLockText(lockProblem, lang));
    }

    std::unique_ptr<korvex::sim::VirtualController> controller;
    std::unique_ptr<korvex::SerialTransport> transport;
    std::unique_ptr<korvex::PortFinder> finder;
    QString note;
    if (parser.isSet(demo)) {
        controller = std::make_unique<korvex::sim::VirtualController>();
        controller->demoActivity = true;
        controller->keepLog = false;
        transport = std::make_unique<korvex::sim::VirtualTransport>(*controller);
        finder = std::make_unique<korvex::sim::VirtualPortFinder>(*controller);
        note = QStringLiteral("demo");
    } else if (parser.isSet(port)) {
        transport = std::make_unique<korvex::QtSerialTransport>();
        finder = std::make_unique<korvex::FixedPortFinder>(QStringList{parser.value(port)});
        note = parser.value(port);
    } else {
        transport = std::make_unique<korvex::QtSerialTransport>();
        finder = std::make_unique<korvex::UsbPortFinder>();
    }

    korvex::MainWindow window(*transport, *finder,
                              korvex::SettingsFilePath(QApplication::applicationFilePath()), note);
    // A logout or kill closes the window as a click on its close box would, without a question.
    korvex::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &korvex::QuitSignals::received, &window,
                     &korvex::MainWindow::CloseForSignal);
    window.show();
    return QApplication::exec();
}
