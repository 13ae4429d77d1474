// The editor's choices across all entries: the pages the only-used view shows, the kind menus
// and what their deletions remove.
#include "editor/KindMenus.h"
#include "text/TextPair.h"

#include <QtTest>

using namespace korvex;

class TestKindMenus : public QObject {
    Q_OBJECT
private slots:
    void shownPages();
    void menus();
    void deletions();
};

namespace {

void Entry(ConfigBytes& bytes, int n, int eventKind, int reactionKind, const char* name = "") {
    const EntryRef e(bytes, n);
    e.setName(name);
    e.set(entry::eventKind, std::uint8_t(eventKind));
    e.set(entry::eventCode, 4);
    e.set(entry::reactionKind, std::uint8_t(reactionKind));
    e.set(entry::reactionCode, 2);
}

QStringList Captions(const QList<KindMenuItem>& items) {
    QStringList captions;
    for (const KindMenuItem& item : items)
        captions << QStringLiteral("%1:%2:%3").arg(int(item.role)).arg(item.tag).arg(item.caption);
    return captions;
}

} // namespace

void TestKindMenus::shownPages() {
    ConfigBytes bytes{};
    ShownPages all = PagesToShow(bytes, false);
    QVERIFY(std::ranges::all_of(all.event, std::identity{}));
    QVERIFY(std::ranges::all_of(all.reaction, std::identity{}));
    // All entries empty: only the pages of kind 0.
    ShownPages used = PagesToShow(bytes, true);
    QCOMPARE(used.event, (std::array<bool, 5>{true, false, false, false, false}));
    QCOMPARE(used.reaction, (std::array<bool, 6>{true, false, false, false, false, false}));
    // Every entry used, one of them with kinds beyond the pages: those show nothing.
    for (int n = 0; n < EntryCount; ++n)
        Entry(bytes, n, 3, 5);
    Entry(bytes, 59, 5, 6);
    used = PagesToShow(bytes, true);
    QCOMPARE(used.event, (std::array<bool, 5>{false, false, false, true, false}));
    QCOMPARE(used.reaction, (std::array<bool, 6>{false, false, false, false, false, true}));
    QCOMPARE(OnlyUsedHint(true, LangEnglish), QStringLiteral("Display all events and reactions"));
    QCOMPARE(OnlyUsedHint(false, LangRussian),
             QStringLiteral("Отображать только используемые события и реакции"));
}

void TestKindMenus::menus() {
    ConfigBytes bytes{};
    Entry(bytes, 0, 0, 5);
    Entry(bytes, 1, 1, 0);
    ShownPages shown = PagesToShow(bytes, false);
    // Kind 0: no kind-specific item.
    QCOMPARE(Captions(EventKindMenu(bytes, 0, shown, LangEnglish)),
             QStringList({"0:0:Not set", "0:1:LIN", "0:2:Source", "0:3:Timeout", "0:4:Voltage",
                          "1:0:-", "2:5:Delete all events"}));
    QCOMPARE(Captions(EventKindMenu(bytes, 1, shown, LangRussian)).mid(6),
             QStringList({"2:5:Удалить все события", "2:1:Удалить все события \"LIN\""}));
    QCOMPARE(Captions(ReactionKindMenu(bytes, 0, shown, LangRussian)).mid(7),
             QStringList(
                 {"2:6:Удалить все реакции", "2:5:Удалить все реакции \"Управление событиями\""}));
    // Only the kinds in use are offered.
    shown = PagesToShow(bytes, true);
    QCOMPARE(Captions(ReactionKindMenu(bytes, 1, shown, LangEnglish)),
             QStringList({"0:0:Not set", "0:5:Event manage", "1:0:-", "2:6:Delete all response"}));

    QCOMPARE(DeleteEventsQuestion(5, LangEnglish),
             QStringLiteral("Are you sure you want to delete\nall events and response?"));
    QCOMPARE(DeleteEventsQuestion(3, LangRussian),
             QStringLiteral("Вы действительно хотите удалить\nвсе события \"Таймаут\" и их "
                            "реакции?"));
    QCOMPARE(DeleteReactionsQuestion(6, LangRussian),
             QStringLiteral("Вы действительно хотите\nудалить все реакции?"));
    QCOMPARE(DeleteReactionsQuestion(2, LangEnglish),
             QStringLiteral("Are you sure you want to delete\nall response \"Pin\"?"));
}

void TestKindMenus::deletions() {
    ConfigBytes bytes{};
    std::fill(bytes.begin() + EntryCount * EntrySize, bytes.end(), 0x5A); // the parameters
    Entry(bytes, 4, 3, 1, "Timer");
    Entry(bytes, 9, 3, 2, "Wiper");
    Entry(bytes, 7, 1, 2, "Volume");
    const ConfigBytes start = bytes;

    // Deleting a kind of event removes whole entries, names included, and selects the first.
    QCOMPARE(DeleteEvents(bytes, 3), 4);
    QVERIFY(IsEntryEmpty(bytes, 4) && IsEntryEmpty(bytes, 9));
    QCOMPARE(EntryRef(bytes, 7).name(), QByteArray("Volume"));
    QCOMPARE(DeleteEvents(bytes, 4), -1); // none of that kind: the selection stays

    // Deleting reactions keeps names and events.
    bytes = start;
    DeleteReactions(bytes, 2);
    const EntryRef wiper(bytes, 9);
    QCOMPARE(wiper.name(), QByteArray("Wiper"));
    QCOMPARE(wiper.get(entry::eventKind), 3);
    QCOMPARE(wiper.get(entry::eventCode), 4);
    QCOMPARE(wiper.get(entry::reactionKind), 0);
    QCOMPARE(wiper.get(entry::reactionCode), 0);
    QCOMPARE(EntryRef(bytes, 4).get(entry::reactionKind), 1);
    DeleteReactions(bytes, 6);
    QCOMPARE(EntryRef(bytes, 4).get(entry::reactionKind), 0);
    QCOMPARE(EntryRef(bytes, 4).get(entry::eventKind), 3);

    // All events: the whole table, and nothing after it.
    bytes = start;
    QCOMPARE(DeleteEvents(bytes, 5), 0);
    for (int n = 0; n < EntryCount; ++n)
        QVERIFY(IsEntryEmpty(bytes, n));
    QVERIFY(std::equal(bytes.begin() + EntryCount * EntrySize, bytes.end(),
                       start.begin() + EntryCount * EntrySize));
}

QTEST_APPLESS_MAIN(TestKindMenus)
#include "tst_kindmenus.moc"
