// The library folder as the list shows it: every file that cannot be used named with its reason
// and never waited on, the rest summarised once and searched by name and settings words.
#include "common/TestFiles.h"
#include "config/ConfigFile.h"
#include "config/ConfigLibrary.h"
#include "config/ConfigText.h"
#include "host/QuietHost.h"

#include <QDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using namespace korvex;
using namespace korvex::test;

namespace {

const QByteArray LinSnippet = "# KORVEX-SWC-ADP snippet\nentry next = Глушить\nevent = LIN\n"
                              "key = MUTE\npress = Any\n";

// A whole configuration with a LIN key entry named `name`, saved as `path` (*.KSWA or *.txt).
void SaveWhole(const QString& path, const QByteArray& key, const QByteArray& name) {
    ConfigImage image; // no entry but this one
    const QByteArray text = "# KORVEX-SWC-ADP snippet\nentry next = " + name +
                            "\nevent = LIN\nkey = " + key + "\npress = Any\n";
    QVERIFY(ApplyConfigText(QString::fromUtf8(text), image.bytes, LangEnglish).ok);
    QuietHost quiet;
    if (IsConfigTextName(path))
        QVERIFY(SaveConfigText(path, image.bytes, {}).ok());
    else
        QVERIFY(SaveConfigFile(path, image, quiet, LangEnglish).ok());
}

// The shop's folder: good files in subfolders with Cyrillic names and spaces, and every kind of
// file that cannot be used.
struct Shop {
    Shop() {
        QVERIFY(QDir(dir.path()).mkpath("Kia/Рио 2017"));
        SaveWhole(path("Kia/Рио 2017/Kia Rio 2017.KSWA"), "VOL UP", "Громче");
        SaveWhole(path("Vesta LIN keys.txt"), "PHONE", "Тише");
        WriteAll(path("Kia/mute.txt"), LinSnippet);
        WriteAll(path("damaged.KSWA"), "[PARAM]\r\nPINMODE=0011\r\n");
        WriteAll(path("notes.txt"), "buy more wire\n");
        QVERIFY(QDir(dir.path()).mkdir("folder.KSWA"));
        QFile huge(path("huge.KSWA"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(qint64(1) << 30));
#ifdef Q_OS_UNIX
        WriteAll(path("unreadable.KSWA"), ReadAll(path("Kia/Рио 2017/Kia Rio 2017.KSWA")));
        QFile::setPermissions(path("unreadable.KSWA"), {});
        QCOMPARE(::mkfifo(QFile::encodeName(path("fifo.KSWA")).constData(), 0644), 0);
        QVERIFY(QFile::link(path("loop.KSWA"), path("loop.KSWA")) ||
                QFileInfo(path("loop.KSWA")).isSymLink());
        QVERIFY(QFile::link(dir.path(), path("Kia/back"))); // a folder link loop
#endif
    }
    QString path(const QString& name) const {
        return dir.filePath(name);
    }
    QTemporaryDir dir;
};

const LibraryFile* Find(const LibraryListing& listing, const QString& name) {
    for (const LibraryFile& f : listing.files)
        if (f.name == name)
            return &f;
    return nullptr;
}

} // namespace

class TestLibrary : public QObject {
    Q_OBJECT
private slots:
    void folderContents_data();
    void folderContents();
    void search_data();
    void search();
    void historyDifferences();
};

void TestLibrary::folderContents_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason"); // English; empty: usable
    QTest::addColumn<bool>("snippet");
    QTest::addRow("damaged") << "damaged.KSWA"
                             << "damaged" << false;
    QTest::addRow("no configuration text") << "notes.txt"
                                           << "notes.txt, line 1" << false;
    QTest::addRow("folder") << "folder.KSWA"
                            << "not a regular file" << false;
    QTest::addRow("1 GB") << "huge.KSWA"
                          << "larger than 4 MB" << false;
#ifdef Q_OS_UNIX
    // A file without its owner's read permission is refused also to an administrator.
    QTest::addRow("unreadable") << "unreadable.KSWA"
                                << "cannot be read: Permission denied" << false;
    QTest::addRow("FIFO") << "fifo.KSWA"
                          << "not a regular file" << false;
    QTest::addRow("link loop") << "loop.KSWA"
                               << "a link that leads nowhere or loops" << false;
#endif
    QTest::addRow("vanished") << "gone.KSWA"
                              << "(not listed)" << false;
    QTest::addRow("whole file, Cyrillic folder") << "Kia Rio 2017.KSWA"
                                                 << "" << false;
    QTest::addRow("whole text") << "Vesta LIN keys.txt"
                                << "" << false;
    QTest::addRow("snippet") << "mute.txt"
                             << "" << true;
}

void TestLibrary::folderContents() {
    QFETCH(QString, name);
    QFETCH(QString, reason);
    QFETCH(bool, snippet);
    Shop shop;
    WriteAll(shop.path("gone.KSWA"), ReadAll(shop.path("Vesta LIN keys.txt")));
    LibraryIndex index;
    const LibraryListing first = index.List(shop.dir.path(), LangEnglish);
    QVERIFY(first.problem[1].isEmpty());
    QVERIFY(Find(first, "gone.KSWA") != nullptr);
    QVERIFY(QFile::remove(shop.path("gone.KSWA")));
    // The second look reads nothing again: nothing changed but what vanished.
    const LibraryListing listing = index.List(shop.dir.path(), LangEnglish);
    QCOMPARE(listing.summarised, 0);
    QCOMPARE(listing.files.size(), first.files.size() - 1);
    const LibraryFile* file = Find(listing, name);
    if (reason == "(not listed)") {
        QCOMPARE(file, nullptr);
        return;
    }
    QVERIFY(file != nullptr);
    QCOMPARE(file->usable(), reason.isEmpty());
    QVERIFY2(file->problem[1].contains(reason), qPrintable(file->problem[1]));
    QCOMPARE(file->problem[0].isEmpty(), reason.isEmpty()); // said in Russian too
    QCOMPARE(file->snippet, snippet);
    if (name == "Kia Rio 2017.KSWA") {
        QCOMPARE(file->folder, QStringLiteral("Kia/Рио 2017"));
        QCOMPARE(file->summary, QStringLiteral("Entries used: 1 · Master type: Not used · Громче"));
        QCOMPARE(Find(index.List(shop.dir.path(), LangRussian), name)->summary,
                 QStringLiteral("Записей: 1 · Тип мастера: Не используется · Громче"));
        // Changed on disk, it is read again, and only it.
        SaveWhole(file->path, "FAV", "Громче 2");
        const LibraryListing again = index.List(shop.dir.path(), LangEnglish);
        QCOMPARE(again.summarised, 1);
        QVERIFY(Find(again, name)->summary.endsWith("Громче 2"));
    }
}

void TestLibrary::search_data() {
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("language");
    QTest::addColumn<QStringList>("found");
    const QStringList good{"Kia Rio 2017.KSWA", "mute.txt", "Vesta LIN keys.txt"};
    QTest::addRow("nothing has it") << "Lada Granta" << int(LangEnglish) << QStringList{};
    QTest::addRow("a page's word in the language not shown")
        << "тип мастера" << int(LangEnglish) << QStringList{};
    QTest::addRow("a LIN key") << "vol up" << int(LangEnglish) << QStringList{"Kia Rio 2017.KSWA"};
    QTest::addRow("a LIN key, other case")
        << "Phone" << int(LangEnglish) << QStringList{"Vesta LIN keys.txt"};
    QTest::addRow("an entry's name")
        << "тише" << int(LangRussian) << QStringList{"Vesta LIN keys.txt"};
    QTest::addRow("the file's name")
        << "rio" << int(LangEnglish) << QStringList{"Kia Rio 2017.KSWA"};
    QTest::addRow("its Cyrillic folder")
        << "рио" << int(LangRussian) << QStringList{"Kia Rio 2017.KSWA"};
    QTest::addRow("two words, anywhere")
        << "kia mute" << int(LangEnglish) << QStringList{"mute.txt"};
    QTest::addRow("a page's word") << "тип мастера" << int(LangRussian)
                                   << QStringList{"Kia Rio 2017.KSWA", "Vesta LIN keys.txt"};
    QTest::addRow("the event's kind") << "lin" << int(LangRussian) << good;
}

void TestLibrary::search() {
    QFETCH(QString, search);
    QFETCH(int, language);
    QFETCH(QStringList, found);
    Shop shop;
    LibraryIndex index;
    QStringList names;
    for (const LibraryFile& f : index.List(shop.dir.path(), language).files)
        if (f.usable() && LibraryFileMatches(f, search))
            names << f.name;
    names.sort(Qt::CaseInsensitive);
    QCOMPARE(names, found);
}

void TestLibrary::historyDifferences() {
    TemporaryDataHome home;
    QTemporaryDir root;
    SnapshotStore store(root.path());
    QuietHost quiet;
    const ConfigBytes factory = FactoryBytes();
    ConfigBytes two = factory;
    QVERIFY(ApplyConfigText(QString::fromUtf8(LinSnippet), two, LangEnglish).ok);
    QVERIFY(!store.Save(7, factory, quiet, LangEnglish).path.isEmpty());
    const QString newest = store.Save(7, two, quiet, LangEnglish).path;
    QVERIFY(!newest.isEmpty());
    QVERIFY(!store.Save(8, factory, quiet, LangEnglish).path.isEmpty());
    SnapshotHistory history(root.path());
    QCOMPARE(history.Serials(), (QList<std::uint32_t>{7, 8}));
    // Against the newest: it is the same, the older one differs by the entry's settings.
    QList<HistoryItem> items = history.List(7, nullptr);
    QCOMPARE(items.size(), 2);
    QCOMPARE(items.at(0).file.path, newest);
    QCOMPARE(DifferenceText(items.at(0).differences, LangEnglish), QStringLiteral("same as now"));
    const int entrySettings = items.at(1).differences;
    QVERIFY2(entrySettings >= 2, qPrintable(QString::number(entrySettings)));
    // Against what the window holds; a damaged snapshot is no base and counts nothing.
    items = history.List(7, &factory);
    QCOMPARE(items.at(0).differences, entrySettings);
    QCOMPARE(items.at(1).differences, 0);
    WriteAll(newest, "[PARAM]\r\n");
    items = history.List(7, nullptr);
    QVERIFY(!items.at(0).readable);
    QCOMPARE(items.at(1).differences, 0);
}

QTEST_GUILESS_MAIN(TestLibrary)
#include "tst_library.moc"
