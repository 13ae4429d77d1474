// The file dialogs: where they start, what they return and store, and where they are placed;
// with the placement arithmetic of message boxes and dialogs.
#include "app/FileDialogs.h"
#include "app/WindowPlacement.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "text/TextPair.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace korvex;

class TestFileDialogs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseQtFileDialogs(); }
    void placementArithmetic();
    void dialogsStartWhereTheirFileWas();
    void dialogHeldOverMainWindowOnScreen();
};

namespace {

// What a dialog looked like while it was open.
struct Seen {
    int shown = 0;
    QString title;
    QStringList filters;
    QString directory;
    QRect frame;
};

using Action = std::function<void(QFileDialog&)>;

QString Run(FileDialogs& dialogs, QString (FileDialogs::*choose)(), const Action& act, Seen& seen) {
    seen = Seen{};
    dialogs.onShown = [&](QFileDialog& dialog) {
        seen = {seen.shown + 1, dialog.windowTitle(), dialog.nameFilters(),
                dialog.directory().absolutePath(), dialog.frameGeometry()};
        act(dialog);
        if (dialog.isVisible())
            dialog.reject(); // a failed check must not leave the test waiting
    };
    return (dialogs.*choose)();
}

// Types `name` into the file name box and presses OK.
Action Type(const QString& name) {
    return [name](QFileDialog& dialog) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit != nullptr);
        edit->setText(name);
        static_cast<QDialog&>(dialog).accept();
    };
}

const Action Cancel = &QFileDialog::reject;

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

void TestFileDialogs::placementArithmetic() {
    const QSize screen(1920, 1080);
    const QRect nearCorner(1800, 1000, 720, 513);
    const QRect offTopLeft(-700, -500, 720, 513);
    // Centred over an odd-sized main window; halves truncate.
    QCOMPARE(DialogPosition(QRect(100, 100, 721, 513), QSize(301, 201), screen), QPoint(310, 256));
    // Against the bottom and right edges, wholly on the screen.
    QCOMPARE(DialogPosition(nearCorner, QSize(600, 400), screen), QPoint(1320, 680));
    // Negatives become 0, also for a dialog larger than the screen.
    QCOMPARE(DialogPosition(offTopLeft, QSize(600, 400), screen), QPoint(0, 0));
    QCOMPARE(DialogPosition(QRect(0, 0, 720, 513), QSize(2000, 1200), screen), QPoint(0, 0));
    // Without the size: 200 up and left of the centre, neither pushed back inside.
    QCOMPARE(DialogPosition(nearCorner, std::nullopt, screen), QPoint(1960, 1056));

    // Message boxes: 50 below the centre, never clamped.
    QCOMPARE(MessageBoxPosition(QRect(100, 100, 721, 513), QSize(301, 101)), QPoint(310, 356));
    QCOMPARE(MessageBoxPosition(offTopLeft, QSize(300, 100)), QPoint(-490, -244));
    QCOMPARE(MessageBoxPosition(offTopLeft, std::nullopt), QPoint(-540, -394));
}

void TestFileDialogs::dialogsStartWhereTheirFileWas() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString a = dir.filePath("a"), b = dir.filePath("b"), c = dir.filePath("c");
    QVERIFY(QDir().mkpath(a) && QDir().mkpath(b) && QDir().mkpath(c));
    test::WriteAll(a + "/car.KSWA", "[x]\r\n");
    test::WriteAll(c + "/fw.LDR", "firmware");
    QWidget mainWindow;
    mainWindow.show();
    test::TestHost host;
    LanguageState language;
    const QString settings = dir.filePath("settings.ini");
    FileDialogs dialogs(&mainWindow, settings, host, language);
#ifdef Q_OS_WIN
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
#else
    // A home of the test's own, whose Documents folder is the start.
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    const auto restoreHome = qScopeGuard([&home, &config] {
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
    });
    qputenv("HOME", QFile::encodeName(dir.filePath("home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("home/.config")));
    const QString documents = dir.filePath("home/Documents");
    QVERIFY(QDir().mkpath(documents));
#endif
    Seen seen;

    // First use: the user's Documents; the filter's description is its pattern.
    QCOMPARE(Run(dialogs, &FileDialogs::ChooseConfigFileToOpen, Type(a + "/car.KSWA"), seen),
             Native(a + "/car.KSWA"));
    QCOMPARE(seen.directory, documents);
    QCOMPARE(seen.title, QStringLiteral("Выбор файла конфигурации устройства"));
    QCOMPARE(seen.filters, (QStringList{QStringLiteral("Конфигурации (*.KSWA *.txt)"),
                                        QStringLiteral("*.KSWA (*.KSWA)"),
                                        QStringLiteral("Конфигурация текстом (*.txt)")}));
    QVERIFY(!QFileInfo::exists(settings)); // choosing alone stores nothing
    dialogs.RememberConfigFile(a + "/car.KSWA");

    // Save starts where the opened file was; a bare name gets ".KSWA", another extension stays.
    language.current = LangEnglish;
    QCOMPARE(Run(dialogs, &FileDialogs::ChooseConfigFileToSave, Type(b + "/new"), seen),
             Native(b + "/new.KSWA"));
    QCOMPARE(seen.directory, a);
    QCOMPARE(seen.title, QStringLiteral("Saving the Configuration File Devices"));
    dialogs.RememberConfigFile(b + "/new.KSWA");
    QCOMPARE(Run(dialogs, &FileDialogs::ChooseConfigFileToSave, Type("old.v2"), seen),
             Native(b + "/old.v2"));
    QCOMPARE(seen.directory, b);

    // The firmware dialog keeps its own directory and leaves the configuration's alone.
    QCOMPARE(Run(dialogs, &FileDialogs::ChooseFirmwareFile, Type(c + "/fw.LDR"), seen),
             Native(c + "/fw.LDR"));
    QCOMPARE(seen.directory, documents);
    QCOMPARE(seen.title, QStringLiteral("The choice of device firmware update file"));
    QCOMPARE(seen.filters, QStringList{QStringLiteral("*.LDR (*.LDR)")});
    dialogs.RememberFirmwareFile(c + "/fw.LDR");
    Run(dialogs, &FileDialogs::ChooseFirmwareFile, Cancel, seen);
    QCOMPARE(seen.directory, c);
    Run(dialogs, &FileDialogs::ChooseConfigFileToOpen, Cancel, seen);
    QCOMPARE(seen.directory, b);
    QVERIFY(host.boxes.isEmpty());

    // Cancelling answers nothing; the caller's remembering of that nothing stores nothing.
    const QByteArray before = test::ReadAll(settings);
    QCOMPARE(Run(dialogs, &FileDialogs::ChooseConfigFileToSave, Cancel, seen), QString());
    dialogs.RememberConfigFile(QString());
    QCOMPARE(test::ReadAll(settings), before);

    // Settings that cannot be read: the error, and no dialog at all.
    FileDialogs broken(&mainWindow, dir.path(), host, language);
    QCOMPARE(Run(broken, &FileDialogs::ChooseFirmwareFile, Cancel, seen), QString());
    QCOMPARE(seen.shown, 0);
    QCOMPARE(host.boxes.size(), 1);
    QCOMPARE(host.boxes[0].flags, mb::IconError);
    QVERIFY(host.boxes[0].text.startsWith(
        QStringLiteral("Error reading the configuration file of the program\n")));
}

void TestFileDialogs::dialogHeldOverMainWindowOnScreen() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QWidget mainWindow; // near the bottom-right corner of the screen
    mainWindow.setGeometry(screen.width() - 150, screen.height() - 100, 400, 300);
    mainWindow.show();
    test::TestHost host;
    LanguageState language;
    FileDialogs dialogs(&mainWindow, dir.filePath("settings.ini"), host, language);
    const auto* timerOnShow = dialogs.findChild<QTimer*>(QStringLiteral("TimerOnShow"));
    QVERIFY(timerOnShow != nullptr);

    // Held in place for a while after it appears, then left to the user.
    bool heldBack = false;
    bool letGo = false;
    Seen seen;
    const Action moveAway = [&](QFileDialog& dialog) {
        const QPoint placed = dialog.pos();
        dialog.move(0, 0);
        heldBack = QTest::qWaitFor([&] { return dialog.pos() == placed; });
        letGo = QTest::qWaitFor([&] { return !timerOnShow->isActive(); });
    };
    Run(dialogs, &FileDialogs::ChooseConfigFileToOpen, moveAway, seen);
    QVERIFY(heldBack && letGo);
    QVERIFY(seen.frame.width() <= screen.width() && seen.frame.height() <= screen.height());
    QCOMPARE(seen.frame.right() + 1, screen.width()); // against both edges, wholly on the screen
    QCOMPARE(seen.frame.bottom() + 1, screen.height());
}

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
