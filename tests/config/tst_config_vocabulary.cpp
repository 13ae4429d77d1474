// The tables of names: their sizes and telling rows, the LIN reaction list built from the two
// LIN types, and the lookups between that list and the command table.
#include "config/Vocabulary.h"

#include <QtTest>

using namespace korvex;

class TestConfigVocabulary : public QObject {
    Q_OBJECT
private slots:
    void tablesHaveTheirRows();
    void rowsReadAsWritten();
    void reactionListFollowsTheLinTypes();
    void listAndCommandRowsMapByFirstOccurrence();
    void slaveEncodingsFollowTheSlaveType();
    void keyNamesByValue();
};

namespace {

QString Ru(NameTable table, int row) {
    return TableText(table, row, LangRussian);
}
QString En(NameTable table, int row) {
    return TableText(table, row, LangEnglish);
}

QStringList Commands(std::initializer_list<int> rows) {
    QStringList names;
    for (int row : rows)
        names.append(QString::fromUtf8(LinCommandTable[static_cast<std::size_t>(row)]));
    return names;
}

} // namespace

void TestConfigVocabulary::tablesHaveTheirRows() {
    const std::pair<NameTable, std::size_t> tables[] = {
        {PowerPinLevels, 2},      {OpenCollectorPinLevels, 2},
        {LinSlaveTypes, 14},      {LinMasterTypes, 17},
        {SlaveEncodings, 7},      {SlaveEncodingsVW2, 8},
        {SlaveEncodingsAUDI2, 6}, {LinSpeeds, 6},
        {HeaterPins, 13},         {ReactionPins, 14}};
    for (const auto& [table, rows] : tables) {
        QCOMPARE(table.size(), rows);
        QVERIFY(!TableTexts(table, LangEnglish).contains(QString()));
        QVERIFY(TableText(table, static_cast<int>(rows), LangRussian).isNull());
        QVERIFY(TableText(table, -1, LangEnglish).isNull());
    }
    QCOMPARE(LinKeyTable.size(), std::size_t{76});
    QCOMPARE(LinCommandTable.size(), std::size_t{71});
}

void TestConfigVocabulary::rowsReadAsWritten() {
    // The open-collector texts begin with a Latin "O", followed by Cyrillic.
    const QString openRu = Ru(OpenCollectorPinLevels, 0);
    QCOMPARE(openRu, QStringLiteral("Oткр. коллектор, разомкнут с GND"));
    QCOMPARE(openRu.at(0).unicode(), char16_t{0x004F});
    QCOMPARE(Ru(OpenCollectorPinLevels, 1).at(0).unicode(), char16_t{0x004F});
    QCOMPARE(TableTexts(PowerPinLevels, LangRussian), (QStringList{"Обесточен", "Выход +12В"}));

    // A single text reads the same in both languages; a pair switches.
    QCOMPARE(TableTexts(LinSpeeds, LangEnglish),
             (QStringList{"Not set", "9600 Bit/s", "10000 Bit/s", "10417 Bit/s", "19200 Bit/s",
                          "20000 Bit/s"}));
    QCOMPARE(Ru(LinSpeeds, 0), QStringLiteral("Не задана"));
    QCOMPARE(En(LinSlaveTypes, 13), QStringLiteral("MERCEDES W205"));
    QCOMPARE(Ru(LinMasterTypes, 1), QStringLiteral("PID's"));
    QCOMPARE(En(LinMasterTypes, 16), QStringLiteral("LIN PROG"));
    QCOMPARE(Ru(SlaveEncodingsVW2, 6), QStringLiteral("Кодировка 6 VW Pasat B7 europe"));
    QCOMPARE(Ru(SlaveEncodingsAUDI2, 1), QStringLiteral("Кодировка 1 VW Passat B6 8 кнопок"));
    QCOMPARE(Ru(HeaterPins, 12), QStringLiteral("PQ X1/6"));
    QCOMPARE(En(ReactionPins, 0), QStringLiteral("Not defined"));
    QCOMPARE(Ru(ReactionPins, 13), QStringLiteral("PQ X2/2"));
    QCOMPARE(QString::fromUtf8(LinCommandTable[4]), QStringLiteral("Heat SW 20°C"));
    QCOMPARE(QString::fromUtf8(LinCommandTable[70]), QStringLiteral("KEY PROG"));
    QCOMPARE(QString::fromUtf8(LinKeyTable[32]), QStringLiteral("O/I"));

    // Every command list names rows of the command table; every master list starts with
    // "KEY NO".
    for (int type = 0; type < static_cast<int>(LinMasterTypes.size()); ++type) {
        QCOMPARE(LinMasterCommandRows(type).front(), std::uint8_t{0});
        for (std::uint8_t row : LinMasterCommandRows(type))
            QVERIFY(row < LinCommandTable.size());
    }
    for (int type = 0; type < static_cast<int>(LinSlaveTypes.size()); ++type) {
        for (std::uint8_t row : LinSlaveCommandRows(type))
            QVERIFY(row < LinCommandTable.size());
    }
    QVERIFY(LinMasterCommandRows(17).empty() && LinMasterCommandRows(-1).empty());
    QVERIFY(LinSlaveCommandRows(14).empty());
}

void TestConfigVocabulary::reactionListFollowsTheLinTypes() {
    QCOMPARE(LinReactionList(0, 13), (QStringList{"KEY NO", "POWER UP", "POWER DOWN"}));
    QCOMPARE(LinReactionList(9, 0),
             QStringList{"KEY NO"} + Commands({14, 15, 23, 24, 25, 31, 32, 37, 30}));
    QCOMPARE(LinReactionList(9, 0).size(), 10);

    // A master type beyond its table adds nothing, nor does a slave type beyond its table.
    QCOMPARE(LinReactionList(1, 17), Commands({3, 4, 5, 6, 7, 8, 42, 43, 44, 45, 46}));
    QCOMPARE(LinReactionList(14, 12), Commands({0, 50, 49, 1, 2}));
    QVERIFY(LinReactionList(255, 255).isEmpty());

    // Master and slave lists may offer the same name twice.
    const QStringList both = LinReactionList(1, 2);
    QCOMPARE(both.size(), 18 + 11);
    QCOMPARE(both.count(QStringLiteral("Heat SW 20°C")), 2);
    QCOMPARE(both.first(), QStringLiteral("KEY NO"));
    QCOMPARE(both.last(), QStringLiteral("Heat SW 100%"));
}

void TestConfigVocabulary::listAndCommandRowsMapByFirstOccurrence() {
    const QStringList items = LinReactionList(1, 2);
    const int first = static_cast<int>(items.indexOf(QStringLiteral("Heat SW 20°C")));
    const int second = static_cast<int>(items.lastIndexOf(QStringLiteral("Heat SW 20°C")));
    QVERIFY(first != second);
    QCOMPARE(LinCommandIndexOf(items, first), 4);
    QCOMPARE(LinCommandIndexOf(items, second), 4);
    QCOMPARE(LinListIndexOf(items, 4), first);

    QCOMPARE(LinCommandIndexOf(items, 1), 50);
    QCOMPARE(LinCommandIndexOf(items, static_cast<int>(items.size()) - 1), 46);
    QCOMPARE(LinCommandIndexOf(items, static_cast<int>(items.size())), 0);
    QCOMPARE(LinCommandIndexOf(items, -1), 0);
    QCOMPARE(LinCommandIndexOf(QStringList{}, 0), 0);
    QCOMPARE(LinCommandIndexOf(QStringList{"no such command"}, 0), 0);

    QCOMPARE(LinListIndexOf(items, 46), static_cast<int>(items.indexOf("Heat SW 100%")));
    QCOMPARE(LinListIndexOf(items, 70), 0); // "KEY PROG" is not offered here
    QCOMPARE(LinListIndexOf(items, 71), 0);
    QCOMPARE(LinListIndexOf(items, -1), 0);
    QCOMPARE(LinListIndexOf(LinReactionList(2, 0), 70), 28);
    QCOMPARE(LinListIndexOf(LinReactionList(2, 0), 30), 31);
}

void TestConfigVocabulary::slaveEncodingsFollowTheSlaveType() {
    QCOMPARE(SlaveEncodingsFor(5).size(), std::size_t{8});
    QCOMPARE(SlaveEncodingsFor(3).size(), std::size_t{6});
    for (int type : {0, 1, 2, 4, 6, 13, 14, 255})
        QCOMPARE(SlaveEncodingsFor(type).data(), SlaveEncodings.data());

    // LINTYPESLAVE keeps its value when the slave type changes; it names the row at that
    // position of the new table, or none.
    QCOMPARE(En(SlaveEncodingsFor(5), 7), QStringLiteral("Encoding 7 VW T6"));
    QVERIFY(En(SlaveEncodingsFor(3), 7).isNull());
    QCOMPARE(En(SlaveEncodingsFor(3), 4), QStringLiteral("Encoding 4 Skoda A5 DOREST"));
}

void TestConfigVocabulary::keyNamesByValue() {
    QCOMPARE(LinKeyName(0), std::optional<QString>(QStringLiteral("KEY NO")));
    QCOMPARE(LinKeyName(75), std::optional<QString>(QStringLiteral("TRAFFIC LA")));
    QCOMPARE(LinKeyName(46), std::optional<QString>(QStringLiteral("1")));
    QVERIFY(!LinKeyName(76) && !LinKeyName(255) && !LinKeyName(-1));

    int oneShot = 0;
    for (int key = 0; key < 256; ++key)
        oneShot += IsOneShotKey(key) ? 1 : 0;
    QCOMPARE(oneShot, 12);
    QVERIFY(IsOneShotKey(7) && IsOneShotKey(44) && IsOneShotKey(67));
    QVERIFY(!IsOneShotKey(0) && !IsOneShotKey(42) && !IsOneShotKey(68));
}

QTEST_GUILESS_MAIN(TestConfigVocabulary)
#include "tst_config_vocabulary.moc"
