// korvex-setup entry point: one instance, the main window, the two options that are not the
// controller's (--demo, --port), and a file to open, handed to the running window when there is
// one.
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "host/HandOver.h"
#include "host/QuitSignals.h"
#include "link/PortFinder.h"
#include "link/QtSerialTransport.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/TextPair.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDialog>
#include <QFileInfo>
#include <QIcon>
#include <QLockFile>
#include <QMessageBox>

#include <cstdio>
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
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A configuration (*.KSWA or *.txt) to open."));
    parser.process(app);
    const QString startFile = parser.positionalArguments().value(0);

    // A logout or kill closes the window as a click on its close box would, without a question;
    // one that comes while a box of the start is shown ends the start as a close would.
    korvex::QuitSignals quitSignals;
    int signalledEarly = 0;
    const QMetaObject::Connection early = QObject::connect(
        &quitSignals, &korvex::QuitSignals::received, &app, [&signalledEarly](int number) {
            signalledEarly = number;
            if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                box->reject();
        });

    QString lockProblem;
    const QString lockPath = korvex::SingleInstanceLockPath();
    const std::unique_ptr<QLockFile> instance =
        korvex::AcquireSingleInstance(lockPath, &lockProblem);
    if (!instance && lockProblem.isEmpty()) {
        // A file is the running window's to open; without one, or when it cannot take it, the
        // refusal stands.
        const QString address = korvex::HandOverAddress();
        if (!startFile.isEmpty() &&
            korvex::HandOver::Send(address, QFileInfo(startFile).absoluteFilePath()))
            return 0;
        // Also where no one sees the screen (a start from a script).
        const QString refusal = korvex::AlreadyRunningBoxText(lockPath);
        std::fprintf(stderr, "%s\n", refusal.toLocal8Bit().constData());
        std::fflush(stderr);
        QMessageBox::critical(nullptr, QStringLiteral("Error"), refusal);
        return 0;
    }
    if (!instance) { // no guard can be made: the user is told why and works all the same
        const int lang = korvex::SystemDefaultLanguage();
        QMessageBox::warning(nullptr,
                             lang == korvex::LangEnglish ? QStringLiteral("Warning")
                                                         : QStringLiteral("Предупреждение"),
                             korvex::NoLockText(lockProblem, lang));
        if (signalledEarly != 0)
            return 0;
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
    QObject::disconnect(early);
    if (signalledEarly != 0) { // during the settings' box
        window.CloseForSignal(signalledEarly);
        window.close();
        return 0;
    }
    QObject::connect(&quitSignals, &korvex::QuitSignals::received, &window,
                     &korvex::MainWindow::CloseForSignal);
    korvex::HandOver handOver;
    if (instance)
        handOver.Listen(korvex::HandOverAddress());
    QObject::connect(&handOver, &korvex::HandOver::received, &window,
                     &korvex::MainWindow::OpenHandedFile);
    window.show();
    if (!startFile.isEmpty())
        window.OpenHandedFile(startFile);
    return QApplication::exec();
}
