// The overview against korvex-cli's dump: the same entries in the same words, for a few
// configurations; and a model that is rebuilt only when something changed, keeping its rows.
#include "cli/CliCommands.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "sheet/ConfigSheet.h"
#include "sheet/OverviewModel.h"
#include "sim/VirtualController.h"

#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QtTest>

using namespace korvex;

class TestOverview : public QObject {
    Q_OBJECT
private slots:
    void sameWordsAsDump();
    void followsTheImage();
};

void TestOverview::sameWordsAsDump() {
    QTemporaryDir dir;
    test::TestHost host;
    ConfigImage demo;
    QVERIFY(LoadConfigFile(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA"), demo, host));
    ConfigBytes odd = sim::FactoryConfiguration(); // every entry used, kinds the pages lack
    for (int n = 0; n < EntryCount; ++n)
        for (int i = 10; i < EntrySize; ++i)
            odd[std::size_t(EntryOffset(n) + i)] = std::uint8_t(n * 7 + i);
    for (const ConfigBytes& bytes : {sim::FactoryConfiguration(), demo.bytes, odd}) {
        for (int language : {LangEnglish, LangRussian}) {
            ConfigImage image;
            image.bytes = bytes;
            const QString file = dir.filePath("c.KSWA");
            QFile::remove(file);
            QVERIFY(SaveConfigFile(file, image, host, language).ok());
            QString out, err;
            QTextStream o(&out), e(&err);
            QCOMPARE(RunCli({"--lang", language == LangEnglish ? "en" : "ru", "dump", file}, o, e),
                     0);
            o.flush();
            QStringList dump = out.split('\n', Qt::SkipEmptyParts);

            OverviewModel model;
            QVERIFY(model.Refresh(bytes, language, nullptr, false));
            // The dump ends with a block of three lines per used entry, as the rows.
            const qsizetype used = model.rowCount();
            QVERIFY(used > 0 && dump.size() > 3 * used);
            const QStringList blocks = dump.mid(dump.size() - 3 * used);
            for (int r = 0; r < used; ++r) {
                const auto cell = [&](int c) { return model.index(r, c).data().toString(); };
                QCOMPARE(blocks[3 * r], cell(OverviewModel::TabColumn));
                QVERIFY(blocks[3 * r + 1].endsWith(": " + cell(OverviewModel::EventColumn)));
                QVERIFY(blocks[3 * r + 2].endsWith(": " + cell(OverviewModel::ReactionColumn)));
            }
            // The sheet counts only the used entries, as the dump lists them.
            const QString sheet = SheetText(model.overview(), {}, language);
            if (language == LangEnglish)
                QVERIFY(sheet.contains(QStringLiteral("in use: %1\n").arg(used)));
            // Every parameter of the dump is in the overview's lines of its page.
            const QString parameters = model.overview().parameters.join('\n');
            for (const QString& line : dump.mid(0, dump.size() - 3 * used))
                QVERIFY2(parameters.contains(line.trimmed()), qPrintable(line));
        }
    }
}

void TestOverview::followsTheImage() {
    ConfigBytes bytes = sim::FactoryConfiguration();
    OverviewModel model;
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.Refresh(bytes, LangEnglish, nullptr, false));
    QVERIFY(!model.Refresh(bytes, LangEnglish, nullptr, false)); // nothing changed: nothing done
    QCOMPARE(model.rowCount(), 2);
    // An edit of a shown entry changes its row in place; a new entry adds one.
    EntryRef(bytes, 1).set(entry::eventPress, 1);
    QVERIFY(model.Refresh(bytes, LangEnglish, nullptr, false));
    QCOMPARE(resets.size(), 1);
    QCOMPARE(changes.size(), 1);
    QVERIFY(model.index(1, OverviewModel::EventColumn).data().toString().contains("Short"));
    EntryRef(bytes, 40).set(entry::reactionKind, kind::ReactionPin);
    QVERIFY(model.Refresh(bytes, LangEnglish, nullptr, false));
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.EntryAt(2), 40);
    QVERIFY(model.Refresh(bytes, LangEnglish, nullptr, true));
    QCOMPARE(model.rowCount(), EntryCount);
    // The filter as the page applies it: any column, any case.
    QVERIFY(model.Refresh(bytes, LangEnglish, nullptr, false));
    QSortFilterProxyModel filter;
    filter.setSourceModel(&model);
    filter.setFilterKeyColumn(-1);
    filter.setFilterCaseSensitivity(Qt::CaseInsensitive);
    filter.setFilterFixedString("vol");
    QCOMPARE(filter.rowCount(), 1);
    QCOMPARE(model.EntryAt(filter.mapToSource(filter.index(0, 0)).row()), 1);
}

QTEST_GUILESS_MAIN(TestOverview)
#include "tst_overview.moc"
