// The settings file: defaults, the window-position and size limits, flags and language, what is
// written, the remembered and recent files and where the file lives.
#include "app/RecentFiles.h"
#include "app/Settings.h"
#include "app/WindowPlacement.h"
#include "common/TestFiles.h"
#include "common/TestHost.h"
#include "text/TextPair.h"

#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace korvex;

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void missingFileGivesDefaults();
    void windowPositionLimits();
    void flagsAndLanguage();
    void terminalHeightLimits_data();
    void terminalHeightLimits();
    void saveWritesMainSettingsAndKeepsTheRest();
    void windowSize_data();
    void windowSize();
    void windowPlacedOnScreens_data();
    void windowPlacedOnScreens();
    void maximizedKept();
    void remembersFilesPerDialog();
    void recentFiles_data();
    void recentFiles();
    void unreadableFileIsReported();
    void fileBesideProgramOrPerUser();
};

namespace {

// An odd window size, so that the halves truncate.
const QSize Screen(1920, 1080);
const QSize Window(801, 601);
constexpr int CentredTop = 540 - 300;
constexpr int CentredLeft = 960 - 400;
// A terminal input between 30 pixels and a page of 400.
constexpr TxHeightLimits Limits{30, 400};

using test::ReadAll;
using test::WriteAll;

Settings LoadFrom(const QString& path, const QByteArray& content, int systemLanguage = 0) {
    WriteAll(path, content);
    test::TestHost host;
    const std::optional<Settings> settings =
        LoadSettings(path, Screen, Window, systemLanguage, host, LangRussian, Limits);
    if (!settings || !host.boxes.isEmpty()) {
        QTest::qFail("settings were not loaded", __FILE__, __LINE__);
        return {};
    }
    return *settings;
}

} // namespace

void TestSettings::missingFileGivesDefaults() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("absent.ini");
    test::TestHost host;
    for (int system : {LangRussian, LangEnglish}) {
        const std::optional<Settings> settings =
            LoadSettings(path, Screen, Window, system, host, LangRussian, Limits);
        QVERIFY(settings.has_value());
        QCOMPARE(settings->mainTop, CentredTop);
        QCOMPARE(settings->mainLeft, CentredLeft);
        QCOMPARE(settings->txHeight, 64);
        QVERIFY(!settings->log && !settings->debug && !settings->onlyUsed);
        QCOMPARE(settings->lang, system);
        QVERIFY(settings->configFile.isEmpty() && settings->firmwareFile.isEmpty());
    }
    QVERIFY(host.boxes.isEmpty());
    QVERIFY(!QFileInfo::exists(path)); // reading creates nothing
}

void TestSettings::windowPositionLimits() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("p.ini");
    const auto position = [&path](int top, int left) {
        const Settings s = LoadFrom(path, QStringLiteral("[MainSettings]\r\nMainTop=%1\r\n"
                                                         "MainLeft=%2\r\n")
                                              .arg(top)
                                              .arg(left)
                                              .toLatin1());
        return QPoint(s.mainLeft, s.mainTop);
    };
    QCOMPARE(position(0, 0), QPoint(0, 0));
    QCOMPARE(position(-1, 10), QPoint(10, CentredTop)); // never above the screen
    QCOMPARE(position(780, 10), QPoint(10, 780));       // 1080 - 601 / 2
    QCOMPARE(position(781, 10), QPoint(10, CentredTop));
    QCOMPARE(position(10, -400), QPoint(-400, 10)); // half off the left edge
    QCOMPARE(position(10, -401), QPoint(CentredLeft, 10));
    QCOMPARE(position(10, 1520), QPoint(1520, 10)); // half off the right edge
    QCOMPARE(position(10, 1521), QPoint(CentredLeft, 10));
}

void TestSettings::flagsAndLanguage() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("f.ini");

    Settings s = LoadFrom(path, "[mainsettings]\nlog=1\nDebug=5\nOnlyUsed=-1\nLang=1\n");
    QVERIFY(s.log && s.debug && s.onlyUsed);
    QCOMPARE(s.lang, LangEnglish);

    s = LoadFrom(path, "[MainSettings]\nLog=0\nDebug=x\nLang=5\n", LangEnglish);
    QVERIFY(!s.log && !s.debug && !s.onlyUsed);
    QCOMPARE(s.lang, LangRussian); // anything but 1 is Russian...
    test::TestHost host;
    QVERIFY(SaveSettings(path, s, host, LangRussian));
    QVERIFY(ReadAll(path).contains("\r\nLang=0\r\n")); // ...and is written back as 0

    // An unreadable value falls back to the system's language, not to Russian.
    s = LoadFrom(path, "[MainSettings]\nLang=?\n", LangEnglish);
    QCOMPARE(s.lang, LangEnglish);
}

void TestSettings::terminalHeightLimits_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("height");
    QTest::newRow("INT_MIN") << QByteArray("-2147483648") << 30;
    QTest::newRow("-1") << QByteArray("-1") << 30;
    QTest::newRow("0") << QByteArray("0") << 30;
    QTest::newRow("below minimum") << QByteArray("29") << 30;
    QTest::newRow("minimum") << QByteArray("30") << 30;
    QTest::newRow("normal") << QByteArray("80") << 80;
    QTest::newRow("page") << QByteArray("400") << 400;
    QTest::newRow("INT_MAX") << QByteArray("2147483647") << 400;
    QTest::newRow("beyond int") << QByteArray("99999999999") << 64; // unreadable: the default
}

void TestSettings::terminalHeightLimits() {
    QFETCH(QByteArray, stored);
    QFETCH(int, height);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Settings s =
        LoadFrom(dir.filePath("t.ini"), "[MainSettings]\r\nTXHeight=" + stored + "\r\n");
    QCOMPARE(s.txHeight, height);
    // A page lower than the memo's minimum still gets the minimum.
    QCOMPARE(LimitTxHeight(80, {30, 20}), 30);
}

void TestSettings::saveWritesMainSettingsAndKeepsTheRest() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("s.ini");
    WriteAll(path, "[DirectoryConfig]\nKORVEX-SWC-ADP=C:\\Конфиги\\car.KSWA\n");
    Settings settings;
    settings.mainTop = -20;
    settings.mainLeft = 33;
    settings.txHeight = 80;
    settings.log = true;
    settings.onlyUsed = true;
    settings.lang = LangEnglish;
    settings.configFile = QStringLiteral("not written by SaveSettings");
    test::TestHost host;
    QVERIFY(SaveSettings(path, settings, host, LangRussian));
    QVERIFY(host.boxes.isEmpty());
    // Other sections kept; the keys in the order they are saved.
    QCOMPARE(ReadAll(path), QStringLiteral("[DirectoryConfig]\r\n"
                                           "KORVEX-SWC-ADP=C:\\Конфиги\\car.KSWA\r\n"
                                           "[MainSettings]\r\n"
                                           "MainTop=-20\r\nMainLeft=33\r\nLang=1\r\nLog=1\r\n"
                                           "Debug=0\r\nOnlyUsed=1\r\nTXHeight=80\r\n")
                                .toUtf8());
}

void TestSettings::windowSize_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QSize>("size");
    QTest::newRow("none: designed") << QByteArray() << Window;
    QTest::newRow("kept") << QByteArray("MainWidthx=1000\r\nMainHeightx=700\r\n")
                          << QSize(1000, 700);
    QTest::newRow("below minimum") << QByteArray("MainWidthx=300\r\nMainHeightx=-5\r\n") << Window;
    QTest::newRow("beyond screen")
        << QByteArray("MainWidthx=5000\r\nMainHeightx=2147483647\r\n") << Screen;
    QTest::newRow("unreadable") << QByteArray("MainWidthx=wide\r\nMainHeightx=700\r\n")
                                << QSize(801, 700);
}

void TestSettings::windowSize() {
    QFETCH(QByteArray, stored);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("w.ini");
    const Settings s = LoadFrom(path, "[MainSettings]\r\n" + stored);
    QCOMPARE(QSize(s.mainWidth, s.mainHeight), size);
}

void TestSettings::windowPlacedOnScreens_data() {
    // Two monitors: a small scaled one on the left, the primary at the origin.
    const QList<QRect> two{QRect(0, 0, 1920, 1040), QRect(-960, 0, 960, 500)};
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<QRect>("stored");
    QTest::addColumn<QRect>("placed");
    QTest::newRow("on a monitor no longer there")
        << two << QRect(2500, 300, 800, 600) << QRect(1120, 300, 800, 600);
    QTest::newRow("larger than the scaled screen it is on")
        << two << QRect(-900, 10, 1200, 700) << QRect(-960, 0, 960, 500);
    QTest::newRow("title bar above every screen")
        << two << QRect(100, -400, 800, 600) << QRect(100, 0, 800, 600);
    QTest::newRow("half off the side, title shown: kept")
        << two << QRect(1520, 100, 800, 600) << QRect(1520, 100, 800, 600);
    QTest::newRow("on the second monitor: kept")
        << two << QRect(-900, 10, 720, 480) << QRect(-900, 10, 720, 480);
}

void TestSettings::windowPlacedOnScreens() {
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, stored);
    QFETCH(QRect, placed);
    QCOMPARE(FitOnScreens(stored, screens), placed);
}

void TestSettings::maximizedKept() {
    QTemporaryDir dir;
    const QString path = dir.filePath("w.ini");
    test::TestHost host;
    for (const bool maximized : {true, false}) {
        Settings settings;
        settings.mainWidth = 900;
        settings.mainHeight = 700;
        settings.maximized = maximized;
        QVERIFY(SaveSettings(path, settings, host, LangEnglish));
        QCOMPARE(LoadFrom(path, ReadAll(path)).maximized, maximized);
    }
    QVERIFY(!LoadFrom(path, "[MainSettings]\r\nMainMaximizedx=yes\r\n").maximized);
}

void TestSettings::remembersFilesPerDialog() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("r.ini");
    test::TestHost host;
    const QString programDir = QStringLiteral("/opt/korvex/");

    QVERIFY(RememberFile(path, RememberedFile::Configuration, QString(), host, 0));
    QVERIFY(!QFileInfo::exists(path)); // an empty name stores nothing
    QCOMPARE(ReadRememberedFile(path, RememberedFile::Configuration, programDir, host, 0),
             std::optional<QString>(programDir));

    const QString config = QStringLiteral("/home/я/машина.KSWA");
    const QString firmware = QStringLiteral("/tmp/fw 2.LDR");
    QVERIFY(RememberFile(path, RememberedFile::Configuration, config, host, 0));
    QVERIFY(RememberFile(path, RememberedFile::Firmware, firmware, host, 0));
    QCOMPARE(ReadRememberedFile(path, RememberedFile::Configuration, programDir, host, 0),
             std::optional<QString>(config));
    QCOMPARE(ReadRememberedFile(path, RememberedFile::Firmware, programDir, host, 0),
             std::optional<QString>(firmware));
    QVERIFY(host.boxes.isEmpty());

    // A file name with a line break would split the file into a forged key: refused.
    const QByteArray before = ReadAll(path);
    QVERIFY(!RememberFile(path, RememberedFile::Firmware, QStringLiteral("a\n[MainSettings]"), host,
                          LangEnglish));
    QCOMPARE(ReadAll(path), before);
    QCOMPARE(host.boxes.size(), 1);
    QCOMPARE(host.boxes[0].flags, mb::IconError);
    QCOMPARE(host.boxes[0].text,
             QStringLiteral("Unable to write to ") + QDir::toNativeSeparators(path));
}

void TestSettings::recentFiles_data() {
    QTest::addColumn<QStringList>("remembered"); // in this order; "-" marks a file that is gone
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("newest first") << QStringList{"a", "b", "c"} << QStringList{"c", "b", "a"};
    QTest::newRow("again: moves up") << QStringList{"a", "b", "a"} << QStringList{"a", "b"};
    QTest::newRow("same file, other spelling")
        << QStringList{"b", "a", "./b"} << QStringList{"./b", "a"};
    QTest::newRow("eight kept") << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9"}
                                << QStringList{"9", "8", "7", "6", "5", "4", "3", "2"};
    QTest::newRow("gone: taken off") << QStringList{"-a", "b", "-c"} << QStringList{"b"};
}

void TestSettings::recentFiles() {
    QFETCH(QStringList, remembered);
    QFETCH(QStringList, listed);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("r.ini");
    WriteAll(path, "[MainSettings]\r\nLang=1\r\n");
    test::TestHost host;
    QStringList gone;
    for (QString name : remembered) {
        if (name.startsWith('-'))
            gone << dir.filePath(name.remove(0, 1) + ".KSWA");
        else
            WriteAll(dir.filePath(name + ".KSWA"), "[Param]\r\n");
        QVERIFY(RememberFile(path, RememberedFile::Configuration, dir.filePath(name + ".KSWA"),
                             host, LangEnglish));
    }
    for (const QString& file : ReadRecentFiles(path))
        QCOMPARE(RecentFileStillThere(path, file, host, LangEnglish), !gone.contains(file));
    QStringList expected;
    for (const QString& name : listed)
        expected << dir.filePath(name + ".KSWA");
    QCOMPARE(ReadRecentFiles(path), expected);
    // A notice per file gone, no box; the rest of the settings file kept.
    QCOMPARE(host.notices.size(), gone.size());
    QVERIFY(host.boxes.isEmpty());
    QVERIFY(ReadAll(path).startsWith("[MainSettings]\r\nLang=1\r\n[DirectoryConfig]\r\n"));
}

void TestSettings::unreadableFileIsReported() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.path(); // a directory cannot be read as a file
    test::TestHost host;
    QVERIFY(!LoadSettings(path, Screen, Window, 1, host, LangRussian, Limits).has_value());
    QVERIFY(!SaveSettings(path, Settings{}, host, LangEnglish));
    QCOMPARE(host.boxes.size(), 2);
    for (const auto& box : host.boxes)
        QCOMPARE(box.flags, mb::IconError);
    // Named, with the reason on a line of its own.
    QCOMPARE(host.boxes[0].text,
             "Ошибка чтения файла конфигурации программы\n" + path +
                 "\nПричина: это не обычный файл (устройство, канал или папка)");
    QCOMPARE(host.boxes[1].text, "Error reading the configuration file of the program\n" + path +
                                     "\nReason: it is not a regular file (a device, a pipe or a "
                                     "folder)");
    QVERIFY(QFileInfo(path).isDir());
#ifdef Q_OS_UNIX
    const QString fifo = dir.filePath("fifo.ini");
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!LoadSettings(fifo, Screen, Window, 1, host, LangEnglish, Limits).has_value());
    QVERIFY(host.boxes.last().text.endsWith(fifo + "\nReason: it is not a regular file (a "
                                                   "device, a pipe or a folder)"));
#endif

    // A per-user directory that does not exist yet is created on the first write.
    const QString nested = dir.filePath("a/b/KorvexSetup.ini");
    const qsizetype shown = host.boxes.size();
    QVERIFY(SaveSettings(nested, Settings{}, host, LangRussian));
    QVERIFY(QFileInfo::exists(nested));
    QCOMPARE(host.boxes.size(), shown);
}

void TestSettings::fileBesideProgramOrPerUser() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath("KorvexSetup.exe");
    const QString user = dir.filePath("user");
    QCOMPARE(SettingsFilePath(program, user), dir.filePath("KorvexSetup.ini"));
    QCOMPARE(SettingsFilePath(dir.filePath("korvex-setup"), user),
             dir.filePath("korvex-setup.ini"));
    QCOMPARE(SettingsFilePath(dir.filePath("korvex.setup.exe"), user),
             dir.filePath("korvex.setup.ini"));
    QCOMPARE(ProgramDirectory(program), dir.path() + u'/');
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{}); // probe gone

    // A directory we cannot create a file in sends the file to the per-user directory.
    const QString installed = dir.filePath("not-a-dir/KorvexSetup.exe");
    WriteAll(dir.filePath("not-a-dir"), "a file where a directory is expected");
    QVERIFY(!IsDirectoryWritable(dir.filePath("not-a-dir")));
    QCOMPARE(SettingsFilePath(installed, user), QDir(user).filePath("KorvexSetup.ini"));
    QVERIFY(IsDirectoryWritable(dir.path()));

#ifdef Q_OS_UNIX
    // An installed program keeps its settings per user even for root, who may write in bin/.
    for (const char* program : {"/usr/bin/korvex-setup", "/usr/local/bin/korvex-setup",
                                KORVEX_INSTALL_BINDIR "/korvex-setup"})
        QCOMPARE(SettingsFilePath(QString::fromLatin1(program), user),
                 QDir(user).filePath("korvex-setup.ini"));
    QVERIFY(!IsSystemProgramDirectory(dir.path()));
#endif
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
