// The main window against the virtual controller on the offscreen platform: what a user sees
// from start to close, driven through the window's own controls.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "app/MainWindow.h"
#include "app/QtTranslation.h"
#include "app/WindowHost.h"
#include "common/TestFiles.h"
#include "common/WindowRig.h"
#include "config/ConfigFile.h"
#include "firmware/FirmwareFile.h"
#include "link/LittleEndian.h"
#include "link/PortFinder.h"
#include "link/QtSerialTransport.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace korvex;
using namespace korvex::test;

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startWithoutController();
    void connectEditUnplug();
    void languageSwitchKeepsEverything();
    void languageSwitchSendsEditsFirst();
    void settingsAtStartAndClose();
    void messageBoxTitlesAndButtons();
    void firmwareButtonUpdates();
    void parameterTabsShowTheirWholeCaptions();
    void progressGaugeFitsTheWindow();
    void qtTextsFollowTheLanguage();
    void extremeTerminalHeightStartsSane();
    void refusedPortIsExplainedOnce();
    void keysActWhenTheirButtonsDo();
    void droppedFilesAndTheTitle();
};

void TestMainWindow::startWithoutController() {
    WindowRig rig;
    rig.controller.setPlugged(false);
    QCOMPARE(rig.window->minimumSize(), QSize(720, 513));
    QCOMPARE(rig.window->windowTitle(),
             QStringLiteral("Setup program KORVEX-SWC-ADP. Version 1.36 (test)"));
    // The monitor runs only once the initialisation has released it.
    QCOMPARE(rig.window->host().monitorSuspend(), 0);
    QVERIFY(rig.window->host().monitorTimer().isActive());
    QStringList statuses;
    for (int i = 0; i < 4; ++i) {
        rig.tick();
        statuses << rig.status();
    }
    QCOMPARE(statuses, QStringList({"Controller search.", "Controller search..",
                                    "Controller search...", "Controller search"}));
    for (const char* b : {"SpeedButtonReadConfig", "SpeedButtonWriteConfig",
                          "SpeedButtonUpdateDevice", "SpeedButtonOnlyUsedx", "SpeedButtonLangx"})
        QVERIFY2(rig.enabled(b), b);
    for (const char* b : {"SpeedButtonReadDevice", "SpeedButtonWriteDevice", "SpeedButtonToDefault",
                          "SpeedButtonReset"})
        QVERIFY2(!rig.enabled(b), b);
    // The program's own icons reach the window from its resources, at both scales.
    for (const char* b : {"SpeedButtonUpdateDevice", "SpeedButtonReadConfig", "SpeedButtonReset",
                          "SpeedButtonOnlyUsedx", "SpeedButtonWriteLINFlashProg"})
        QVERIFY2(rig.find<QToolButton>(b)->icon().availableSizes() ==
                     QList<QSize>({{20, 20}, {40, 40}}),
                 b);
    QCOMPARE(rig.find<QTabWidget>("PageControlMain")->currentIndex(), 1);
    // The strip is labelled and on screen before any configuration was read or opened.
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    auto* tabs = rig.find<QTabBar>("TabControlEVENTREACTIONx");
    QCOMPARE(tabs->count(), 60);
    for (int i = 0; i < 60; ++i)
        QCOMPARE(tabs->tabText(i), QString::number(i + 1));
    QVERIFY(tabs->isVisible());
    QCOMPARE(tabs->height(), tabs->sizeHint().height());
    QVERIFY(tabs->rect().contains(tabs->tabRect(0)));
}

void TestMainWindow::connectEditUnplug() {
    WindowRig rig;
    rig.tick();
    QVERIFY(rig.log().contains("230417"));
    QCOMPARE(rig.readFrames(), 32);
    QVERIFY(rig.enabled("SpeedButtonWriteDevice"));
    rig.tick();
    QCOMPARE(rig.status(),
             QStringLiteral("Controller \"KORVEX-SWC-ADP V1.36\" is connected to VCOM1."));
    QCOMPARE(rig.find<QLabel>("PanelCurrentSRCx")->text(), QStringLiteral("Selected: 1"));

    // The road of an edit: "Output +12V" for X2/1.
    auto* x21 = rig.find<QComboBox>("ComboBoxX21x");
    QCOMPARE(x21->itemText(1), QStringLiteral("Output +12V"));
    rig.controller.clearLog();
    WindowRig::choose(x21, 1);
    QCOMPARE(rig.window->core().image.bytes[1980], 1);
    rig.tick();
    QVERIFY(rig.controller.wireIn.startsWith(QByteArray::fromHex("55010000")));
    QVERIFY(rig.controller.wireIn.contains(QByteArray::fromHex("5590BC070101")));
    QCOMPARE(rig.panel(), QStringLiteral("Send of changes"));

    // Unplugging.
    rig.controller.setPlugged(false);
    rig.tick();
    QCOMPARE(rig.status(), QStringLiteral("Controller is disconnected"));
    QVERIFY(rig.log().endsWith("******** Controller is disconnected **********"));
    QCOMPARE(rig.find<QLabel>("PanelCurrentSRCx")->text(), QStringLiteral("Selected: ?"));
    QVERIFY(!rig.find<QLabel>("PanelCurrentSRCx")->isEnabled());
    QVERIFY(!rig.enabled("SpeedButtonReadDevice"));
    QVERIFY(rig.enabled("SpeedButtonReadConfig"));

    // Plugged back in: read again.
    rig.controller.setPlugged(true);
    rig.controller.clearLog();
    rig.tick(3);
    QCOMPARE(rig.readFrames(), 32);
    QCOMPARE(x21->currentIndex(), int(rig.controller.config[1980]));

    // The write command, answered No, sends nothing. It names the one value that the display
    // set but the controller does not hold.
    rig.controller.clearLog();
    rig.find<QToolButton>("SpeedButtonWriteDevice")->click();
    QCOMPARE(rig.boxes.last(),
             QStringLiteral("Are you sure you want to write\ndata to the controller?\n\n"
                            "Changes to the controller's configuration:\n"
                            "1* (SRC)\n"
                            "  One time only: No -> Yes (the editor's rule for a short press)"));
    QVERIFY(rig.controller.requests.empty());
}

void TestMainWindow::languageSwitchKeepsEverything() {
    WindowRig rig("[MainSettings]\r\nLang=0\r\n");
    rig.tick();
    QCOMPARE(rig.find<QToolButton>("SpeedButtonLangx")->text(), QStringLiteral("EN"));
    // Selections, a check mark and the active pages, set as a user would.
    WindowRig::choose(rig.find<QComboBox>("ComboBoxLIN2MODEx"), 4);
    rig.find<QTabWidget>("PageControlParams")->setCurrentIndex(1);
    rig.find<QCheckBox>("CheckBoxLINSWAP_VOLDN_OK")->setChecked(true);
    // Tab 2: a LIN key answered by the radio control, so both editor pages show fields.
    rig.find<QTabBar>("TabControlEVENTREACTIONx")->setCurrentIndex(1);
    rig.tick(); // the edits reach the controller, which is read again after the switch
    const QMap<QString, QString> russian = Texts(rig.window.get());
    QVERIFY(russian["PageControlMain"].startsWith(QStringLiteral("Терминал,Параметры")));

    rig.find<QToolButton>("SpeedButtonLangx")->click();
    QCOMPARE(rig.window->SetLanguage(-1), 1);
    QCOMPARE(rig.find<QToolButton>("SpeedButtonLangx")->text(), QStringLiteral("RU"));
    QCOMPARE(rig.find<QTabWidget>("PageControlParams")->tabText(1), QStringLiteral("LIN Bus"));
    QCOMPARE(rig.find<QGroupBox>("GroupBoxReaction")->title(), QStringLiteral(" Response "));
    QCOMPARE(rig.find<QComboBox>("ComboBoxLIN2MODEx")->currentIndex(), 4);
    QVERIFY(rig.find<QCheckBox>("CheckBoxLINSWAP_VOLDN_OK")->isChecked());
    QCOMPARE(rig.find<QTabBar>("TabControlEVENTREACTIONx")->currentIndex(), 1);
    QCOMPARE(rig.find<QTabWidget>("PageControlEvent")->currentIndex(), int(kind::EventLin));
    QCOMPARE(rig.find<QComboBox>("ComboBoxEventLINx")->currentText(), QStringLiteral("VOL UP"));
    QCOMPARE(rig.find<QTabWidget>("PageControlReaction")->currentIndex(),
             int(kind::ReactionRadioControl));
    // The controller is announced again in the new language and read again.
    QVERIFY(!rig.window->core().monitor.controllerConnected);
    rig.controller.clearLog();
    rig.tick();
    QCOMPARE(rig.readFrames(), 32);

    rig.window->popupMenu().findChild<QAction*>("MenuItemLanguageRussianx")->trigger();
    QCOMPARE(rig.window->SetLanguage(-1), 0);
    const QMap<QString, QString> back = Texts(rig.window.get());
    // The read after the switch starts a new undo history.
    for (auto it = russian.cbegin(); it != russian.cend(); ++it)
        if (it.key() != "StatusBarPanelx" && it.key() != "PanelCurrentSRCx" &&
            it.key() != "PanelMenu" && it.key() != "SpeedButtonUndox")
            QCOMPARE(back.value(it.key()), it.value());
    QCOMPARE(rig.window->SetLanguage(7), 0);
}

void TestMainWindow::languageSwitchSendsEditsFirst() {
    WindowRig rig;
    rig.tick();
    QVERIFY(rig.enabled("SpeedButtonReadDevice"));
    // An edit made on the control itself, and the language switched before the next tick.
    auto* x21 = rig.find<QComboBox>("ComboBoxX21x");
    const int before = x21->currentIndex();
    QTest::keyClick(x21, Qt::Key_Down);
    QCOMPARE(int(rig.window->core().image.bytes[1980]), before + 1);
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonLangx"), Qt::LeftButton);
    QCOMPARE(rig.window->SetLanguage(-1), 0);
    QCOMPARE(int(rig.controller.config[1980]), before + 1);
    // Read again at the next tick, the edit is what the controller now holds.
    rig.tick();
    QCOMPARE(x21->currentIndex(), before + 1);
    QVERIFY(rig.enabled("SpeedButtonReadDevice"));

    // Until the next successful poll the device buttons are off, and stay off when the
    // controller is gone by then.
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonLangx"), Qt::LeftButton);
    rig.controller.setPlugged(false);
    rig.tick();
    for (const char* b : {"SpeedButtonReadDevice", "SpeedButtonWriteDevice", "SpeedButtonToDefault",
                          "SpeedButtonReset"})
        QVERIFY2(!rig.enabled(b), b);
    QVERIFY(rig.enabled("SpeedButtonReadConfig"));
    QVERIFY(rig.boxes.isEmpty());
}

void TestMainWindow::settingsAtStartAndClose() {
    {
        WindowRig rig("[MainSettings]\r\nLang=5\r\nDebug=1\r\nMainTop=-1\r\nMainLeft=-50\r\n"
                      "MainWidthx=760\r\nMainHeightx=540\r\n");
        QCOMPARE(rig.window->SetLanguage(-1), 0);
        QCOMPARE(rig.window->x(), -50);
        QCOMPARE(rig.window->size(), QSize(760, 540));
        QMenu& menu = rig.window->popupMenu();
        QVERIFY(menu.findChild<QAction*>("MenuItemDebug")->isVisible());
        QVERIFY(menu.findChild<QAction*>("MenuItemLog")->isVisible());
        QVERIFY(!menu.findChild<QAction*>("MenuItemWriteNow")->isVisible());
        menu.findChild<QAction*>("MenuItemLog")->trigger();
        QVERIFY(rig.window->core().link.state.traceEnabled);
        rig.window->close();
        const QByteArray saved = test::ReadAll(rig.settingsPath);
        QVERIFY(saved.contains("Lang=0"));
        QVERIFY(saved.contains("Log=1"));
        QVERIFY(saved.contains("MainLeft=-50"));
        QVERIFY(saved.contains("MainWidthx=760\r\nMainHeightx=540"));
        QVERIFY(rig.window->core().link.state.appClosing);
        // What operations still ask on their way out is not shown over a closed window.
        rig.window->host().answerBox = nullptr;
        QCOMPARE(rig.window->host().ShowMessageBox(mb::IconQuestion, "?"), mb::IdNo);
        QVERIFY(!rig.window->host().monitorTimer().isActive());
    }
    WindowRig fresh(QByteArray{});
    QVERIFY(!fresh.window->popupMenu().findChild<QAction*>("MenuItemDebug")->isVisible());
    // Only a right click on the panel opens its menu.
    QMenu& menu = fresh.window->popupMenu();
    QTest::mouseClick(fresh.find<QWidget>("PanelMenu"), Qt::LeftButton);
    QVERIFY(!menu.isVisible());
    QTest::mouseClick(fresh.find<QWidget>("PanelMenu"), Qt::RightButton);
    QTRY_VERIFY(menu.isVisible());
    menu.close();
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    QCOMPARE(fresh.window->pos(),
             QPoint(screen.width() / 2 - 720 / 2, screen.height() / 2 - 513 / 2));
    fresh.window->show();
    QCOMPARE(fresh.find<QPlainTextEdit>("MemoTX")->height(), 64);
    fresh.window->close();
    QVERIFY(test::ReadAll(fresh.settingsPath).contains("TXHeight=64"));
}

void TestMainWindow::messageBoxTitlesAndButtons() {
    using B = QMessageBox;
    struct Case {
        unsigned flags;
        int lang;
        const char* title;
        B::Icon icon;
        B::StandardButtons buttons;
        B::StandardButton defaultButton;
        B::StandardButton pressed;
        int answer;
    };
    const Case cases[] = {
        {mb::IconError, LangEnglish, "Error", B::Critical, B::Ok, B::NoButton, B::Ok, mb::IdOk},
        {mb::IconError | mb::YesNo | mb::DefButton2, LangRussian, "Ошибка", B::Critical,
         B::Yes | B::No, B::No, B::Yes, mb::IdYes},
        {mb::IconQuestion, LangRussian, "Вопрос", B::Question, B::Yes | B::No, B::Yes, B::No,
         mb::IdNo},
        {mb::IconQuestion | mb::DefButton2, LangEnglish, "Question", B::Question, B::Yes | B::No,
         B::No, B::Yes, mb::IdYes},
        {mb::IconWarning, LangEnglish, "Warning", B::Warning, B::Yes | B::No, B::Yes, B::Yes,
         mb::IdYes},
        {mb::IconWarning | mb::YesNo, LangRussian, "Предупреждение", B::Warning, B::Yes | B::No,
         B::Yes, B::No, mb::IdNo},
        {mb::IconWarning | mb::YesNo | mb::DefButton2, LangEnglish, "Warning", B::Warning,
         B::Yes | B::No, B::No, B::Yes, mb::IdYes},
        {mb::IconInformation, LangRussian, "Информация", B::Information, B::Ok, B::NoButton, B::Ok,
         mb::IdOk},
        {mb::IconInformation, LangEnglish, "Information", B::Information, B::Ok, B::NoButton, B::Ok,
         mb::IdOk},
        {0, LangEnglish, "", B::NoIcon, B::Ok, B::NoButton, B::Ok, mb::IdOk},
    };
    WindowRig rig;
    rig.window->host().answerBox = nullptr;
    for (const Case& c : cases) {
        rig.window->SetLanguage(c.lang);
        const QString row = QString::number(c.flags, 16) + "/" + QString::number(c.lang);
        QString title;
        B::Icon icon = B::NoIcon;
        B::StandardButtons buttons;
        B::StandardButton defaultButton = B::NoButton;
        int suspendedWhileOpen = -1;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr || !box->isVisible())
                return;
            poll.stop();
            title = box->windowTitle();
            icon = box->icon();
            buttons = box->standardButtons();
            if (box->defaultButton() != nullptr)
                defaultButton = box->standardButton(box->defaultButton());
            suspendedWhileOpen = rig.window->host().monitorSuspend();
            QTest::mouseClick(box->button(c.pressed), Qt::LeftButton);
        });
        poll.start(10);
        const int answer = rig.window->host().ShowMessageBox(c.flags, "?");
        QVERIFY2(title == QString::fromUtf8(c.title), qPrintable(row + " " + title));
        QVERIFY2(icon == c.icon, qPrintable(row));
        QVERIFY2(buttons == c.buttons, qPrintable(row));
        QVERIFY2(defaultButton == c.defaultButton, qPrintable(row));
        QVERIFY2(answer == c.answer, qPrintable(row));
        QCOMPARE(suspendedWhileOpen, 1);
        QCOMPARE(rig.window->host().monitorSuspend(), 0);
    }
}

void TestMainWindow::firmwareButtonUpdates() {
    WindowRig rig;
    rig.tick();
    // A newer image for this controller: header (serial, version, type), image, CRC-16.
    QByteArray file(FirmwareHeaderSize, '\0');
    auto* header = reinterpret_cast<std::uint8_t*>(file.data());
    PutU32le(header, rig.controller.serialNumber);
    PutU32le(header + 4, 137);
    PutU32le(header + 8, rig.controller.deviceType);
    file += QByteArray(200, '\x5A');
    const std::uint16_t crc = FirmwareCrc16(reinterpret_cast<const std::uint8_t*>(file.data()),
                                            static_cast<std::size_t>(file.size()));
    file.append(char(crc & 0xFF)).append(char(crc >> 8));
    const QString path = rig.dir.filePath("new.LDR");
    test::WriteAll(path, file);

    QString title;
    rig.window->files().onShown = [&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog&>(dialog).accept();
        if (dialog.isVisible())
            dialog.reject(); // a refused name must not leave the test waiting
    };
    rig.find<QToolButton>("SpeedButtonUpdateDevice")->click();
    QCOMPARE(title, QStringLiteral("The choice of device firmware update file"));
    QCOMPARE(rig.controller.firmware.left(200), QByteArray(200, '\x5A'));
    QCOMPARE(rig.panel(), QStringLiteral("The device is updated to version 1.37"));
    // The monitor announces the controller again and reads it once more.
    QVERIFY(!rig.window->core().monitor.controllerConnected);
    QCOMPARE(rig.window->core().monitor.lastSerial, 0u);
    QVERIFY(rig.enabled("SpeedButtonReadConfig"));
    // Once the bootloader has started the new application, it is announced and read again.
    rig.window->host().monitorTimer().stop();
    rig.controller.clearLog();
    rig.tick();
    QTest::qWait(350);
    rig.tick(2);
    QCOMPARE(rig.readFrames(), 32);
    QVERIFY(rig.status().startsWith("Controller \"KORVEX-SWC-ADP V1.36\""));
    QVERIFY(rig.boxes.isEmpty());
}

void TestMainWindow::parameterTabsShowTheirWholeCaptions() {
    WindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QTabBar* mainBar = rig.find<QTabWidget>("PageControlMain")->tabBar();
    auto* params = rig.find<QTabWidget>("PageControlParams");
    QTabBar* bar = params->tabBar();
    QCOMPARE(bar->elideMode(), Qt::ElideNone);
    // The LIN Prog tab shown once and hidden again.
    auto* lin2 = rig.find<QComboBox>("ComboBoxLIN2MODEx");
    WindowRig::choose(lin2, 16);
    QVERIFY(params->isTabVisible(4));
    WindowRig::choose(lin2, 0);
    QVERIFY(!params->isTabVisible(4));
    // The language switched while the terminal is in front.
    for (int language : {LangRussian, LangEnglish, LangRussian}) {
        QTest::mouseClick(mainBar, Qt::LeftButton, {}, mainBar->tabRect(0).center());
        rig.find<QToolButton>("SpeedButtonLangx")->click();
        QCOMPARE(rig.window->SetLanguage(-1), language);
        QTest::mouseClick(mainBar, Qt::LeftButton, {}, mainBar->tabRect(1).center());
        QVERIFY(bar->isVisible());
        for (int i = 0; i < 4; ++i) {
            const int text = bar->fontMetrics().horizontalAdvance(bar->tabText(i));
            QVERIFY2(bar->tabRect(i).width() > text, qPrintable(QString("%1: %2 for %3")
                                                                    .arg(bar->tabText(i))
                                                                    .arg(bar->tabRect(i).width())
                                                                    .arg(text)));
        }
    }
}

void TestMainWindow::progressGaugeFitsTheWindow() {
    WindowRig rig;
    rig.window->resize(720, 513);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QCOMPARE(rig.window->width(), 720);
    auto* panel = rig.find<QLabel>("PanelMenu");
    auto* gauge = rig.find<QProgressBar>("CGaugeProgressProcent");
    const auto right = [&rig](QWidget* w) {
        return w->mapTo(rig.window.get(), QPoint(w->width() - 1, 0)).x();
    };
    for (int language : {LangEnglish, LangRussian}) {
        rig.window->SetLanguage(language);
        rig.window->host().ProgressBegin(100, "Reading");
        rig.window->host().ProgressStep(99);
        QApplication::processEvents();
        QVERIFY(gauge->isVisible());
        // The panel takes the toolbar's width up to a few pixels before its end.
        QVERIFY2(right(panel) < 720 && right(panel) > 710,
                 qPrintable(QString::number(right(panel))));
        QCOMPARE(gauge->x(), panel->contentsRect().left());
        QCOMPARE(gauge->width(), panel->contentsRect().width());
        rig.window->host().ProgressHide();
    }
}

void TestMainWindow::qtTextsFollowTheLanguage() {
#ifndef Q_OS_WIN
    // A Windows build and installation always carry the catalogue; a Linux system may lack it.
    if (!QtTranslation().available())
        QSKIP("qtbase_ru.qm is not installed (Debian package qt6-translations-l10n)");
#endif
    WindowRig rig;
    rig.window->host().answerBox = nullptr;
    const auto yesButton = [&rig] {
        QString text;
        QTimer::singleShot(50, [&text] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            text = box->button(QMessageBox::Yes)->text().remove('&');
            box->button(QMessageBox::No)->click();
        });
        rig.window->host().ShowMessageBox(mb::IconQuestion, "?");
        return text;
    };
    QCOMPARE(yesButton(), QStringLiteral("Yes"));
    for (const char* expected : {"Да", "Yes", "Да"}) {
        rig.find<QToolButton>("SpeedButtonLangx")->click();
        QCOMPARE(yesButton(), QString::fromUtf8(expected));
    }
}

void TestMainWindow::extremeTerminalHeightStartsSane() {
    WindowRig rig("[MainSettings]\r\nLang=1\r\nTXHeight=-2147483648\r\n");
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    auto* memo = rig.find<QPlainTextEdit>("MemoTX");
    // At least a line of text, and the log keeps its place above.
    QVERIFY2(memo->height() > memo->fontMetrics().lineSpacing() &&
                 memo->height() < rig.find<QWidget>("SplitterTerminal")->height(),
             qPrintable(QString::number(memo->height())));
    rig.window->close();
    QVERIFY(
        test::ReadAll(rig.settingsPath).contains("TXHeight=" + QByteArray::number(memo->height())));
}

void TestMainWindow::refusedPortIsExplainedOnce() {
#ifdef Q_OS_UNIX
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QByteArray name = ::ptsname(master);
    QCOMPARE(::chmod(name.constData(), 0), 0);
    QTemporaryDir dir;
    WriteAll(dir.filePath("korvex-setup.ini"), "[MainSettings]\r\nLang=1\r\n");
    QtSerialTransport transport;
    FixedPortFinder finder({QString::fromLocal8Bit(name)});
    MainWindow window(transport, finder, dir.filePath("korvex-setup.ini"), "test");
    // Root passes any mode and any other program's hold; the tool's user does not.
    const bool root = ::geteuid() == 0;
    const auto ticks = [&] {
        QVERIFY(!root || ::seteuid(65534) == 0);
        for (int i = 0; i < 4; ++i)
            window.TimerLUMAPADSCREENTestTimer();
        QVERIFY(!root || ::seteuid(0) == 0);
    };
    ticks();
    // The same port, now held by another program.
    QCOMPARE(::chmod(name.constData(), 0666), 0);
    const int holder = ::open(name.constData(), O_RDWR | O_NOCTTY);
    QVERIFY(holder >= 0 && ::ioctl(holder, TIOCEXCL) == 0);
    ticks();
    ::close(holder);
    ::close(master);
    const QString log = window.findChild<QTextEdit*>("RichEditRX")->toPlainText();
    const QString port = QString::fromLocal8Bit(name);
    QCOMPARE(log.count(QStringLiteral("No permission to open port ") + port + " (owner group "), 1);
    QCOMPARE(log.count(QStringLiteral("Port ") + port + " is busy: another program holds it"), 1);
    // The status line says why too, after the search text.
    const QString status = window.findChild<QLabel*>("StatusBarPanelx")->text();
    QVERIFY2(status.startsWith(QStringLiteral("Controller search on ") + port) &&
                 status.contains(QStringLiteral("the port is held by another program")),
             qPrintable(status));
#endif
}

void TestMainWindow::keysActWhenTheirButtonsDo() {
    WindowRig rig;
    rig.tick();
    rig.window->show();
    // What a key did: the file dialog or box it showed, or what it read.
    QString shown;
    rig.window->files().onShown = [&shown](QFileDialog& d) {
        shown = d.windowTitle();
        d.reject();
    };
    QTimer about; // the real About box
    connect(&about, &QTimer::timeout, [&shown] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + ": " + box->text();
            box->accept();
        }
    });
    about.start(10);
    const std::pair<QKeyCombination, const char*> keys[] = {
        {Qt::CTRL | Qt::Key_O, "The choice of device configuration file"},
        {Qt::CTRL | Qt::Key_S, "Saving the Configuration File Devices"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_R, "32 frames read"},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_W, "Are you sure you want to write"},
        {Qt::Key_F1, "About: KORVEX Setup 1.36"}};
    for (bool busy : {false, true}) {
        rig.window->SetToolbarBusy(busy); // a busy toolbar runs nothing but About
        for (const auto& [key, expected] : keys) {
            shown.clear();
            rig.boxes.clear();
            rig.controller.clearLog();
            rig.window->activateWindow(); // again after a dialog
            QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
            QTest::keyClick(rig.window.get(), key.key(), key.keyboardModifiers());
            if (rig.readFrames() > 0)
                shown = QString::number(rig.readFrames()) + " frames read";
            if (!rig.boxes.isEmpty())
                shown = rig.boxes.first();
            const bool acts = !busy || key.key() == Qt::Key_F1;
            QVERIFY2(
                acts ? shown.startsWith(expected) : shown.isEmpty(),
                qPrintable(QStringLiteral("%1 (busy %2): %3").arg(expected).arg(busy).arg(shown)));
        }
        QVERIFY(shown.contains(QDir::toNativeSeparators(rig.settingsPath)) &&
                shown.contains("korvex-cli"));
    }
    // The key follows the hint through a language switch.
    rig.window->SetLanguage(LangRussian);
    QCOMPARE(rig.find<QToolButton>("SpeedButtonWriteDevice")->toolTip(),
             QStringLiteral("Записать конфигурацию в устройство (Ctrl+Shift+W)"));
}

void TestMainWindow::droppedFilesAndTheTitle() {
    WindowRig rig;
    rig.tick();
    const QString title = rig.window->windowTitle();
    const auto drop = [&rig](const QString& file) { // on the terminal input, which takes text
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QWidget* memo = rig.find<QPlainTextEdit>("MemoTX");
        QCoreApplication::postEvent(memo, new QDragEnterEvent({5, 5}, Qt::CopyAction, &mime,
                                                              Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            memo, new QDropEvent({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(); // the drop acts once it has returned
    };
    ConfigImage file = rig.window->core().image;
    file.bytes[1980] ^= 1;
    const QString car = rig.dir.filePath("car.kswa");
    QVERIFY(SaveConfigFile(car, file, rig.window->host(), LangEnglish).error.isEmpty());
    drop(car);
    QCOMPARE(rig.window->windowTitle(), title + " - car.kswa[*]");
    QVERIFY(rig.boxes.last().startsWith("Send the changes of the file to the controller now?"));
    QVERIFY(!rig.window->isWindowModified());
    WindowRig::choose(rig.find<QComboBox>("ComboBoxX21x"), file.bytes[1980] ^ 1); // the other row
    rig.tick();
    QVERIFY(rig.window->isWindowModified());
    rig.window->files().onShown = [&rig](QFileDialog& d) {
        d.findChild<QLineEdit*>("fileNameEdit")->setText(rig.dir.filePath("saved.KSWA"));
        static_cast<QDialog&>(d).accept();
    };
    rig.find<QToolButton>("SpeedButtonWriteConfig")->click();
    QCOMPARE(rig.window->windowTitle(), title + " - saved.KSWA[*]");
    QVERIFY(!rig.window->isWindowModified());

    // Both files are listed on the open button; the older one opens again from there.
    auto* recent = rig.find<QMenu>("PopupMenuRecentFilesx");
    emit recent->aboutToShow();
    QCOMPARE(recent->actions().size(), 2);
    recent->actions().last()->trigger();
    QCOMPARE(rig.window->windowTitle(), title + " - car.kswa[*]");

    drop(rig.dir.filePath("notes.txt"));
    QCOMPARE(rig.panel(), QStringLiteral("Drop one *.KSWA file (configuration) or *.LDR file "
                                         "(firmware) here"));
    const QString firmware = rig.dir.filePath("fw.LDR");
    WriteAll(firmware, "not firmware");
    drop(firmware); // the update's own checks refuse it
    QCOMPARE(rig.boxes.last(), QStringLiteral("Error in file \"fw.LDR\""));
    rig.find<QToolButton>("SpeedButtonReadDevice")->click();
    QCOMPARE(rig.window->windowTitle(), title);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
