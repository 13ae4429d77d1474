// The undo history without a window: one step per action of any kind, undone and redone byte
// for byte, named in the words of the diff, and its limits.
#include "config/ConfigHistory.h"
#include "sim/VirtualController.h"
#include "text/TextPair.h"

#include <QtTest>

#include <functional>

using namespace korvex;

class TestConfigHistory : public QObject {
    Q_OBJECT
private slots:
    void stepsOverTheKindsOfAction();
    void historyLimits();
};

void TestConfigHistory::stepsOverTheKindsOfAction() {
    struct Case {
        const char* action;
        std::function<void(ConfigBytes&)> act; // as the editor writes it
        QString name;
    };
    const auto entry = [](ConfigBytes& b, int n, int from, int to, std::uint8_t value) {
        std::fill(b.begin() + 33 * n + from, b.begin() + 33 * n + to, value);
    };
    const Case cases[] = {
        {"a list", [](ConfigBytes& b) { b[1980] = 1; }, "X2/1: No power -> Output +12V"},
        {"a kind page", [&](ConfigBytes& b) { entry(b, 1, 10, 21, 0), b[33 + 10] = 4; },
         "2* (VOL+): Event: LIN \"VOL UP\", Press: Any, Source: Any -> Voltage, No, < 0 mV"},
        {"a deletion of all events",
         [&](ConfigBytes& b) {
             for (int n = 0; n < 60; ++n)
                 entry(b, n, 10, 21, 0);
         },
         "1* (SRC): Event: LIN \"MODE\", Press: Short, One time only, Source: Any -> Not set …"},
        {"the name dialog", [](ConfigBytes& b) { b[33] = 'X'; },
         "2* (XOL+): Name: \"VOL+\" -> \"XOL+\""},
    };
    for (const Case& c : cases) {
        ConfigBytes image = sim::FactoryConfiguration();
        ConfigHistory history(image);
        const ConfigBytes before = image;
        c.act(image);
        QVERIFY2(history.Record() && !history.Record(), c.action); // one step, taken once
        const ConfigBytes after = image;
        QVERIFY2(history.UndoName(LangEnglish).startsWith(c.name), qPrintable(history.UndoName(0)));
        // A change that is no step (the display, the language) stays through undo and redo.
        const std::uint8_t display = image[2016] ^= 0xFF;
        history.Rebase();
        QVERIFY(history.Undo() && !history.CanUndo() && history.CanRedo());
        ConfigBytes expected = before;
        expected[2016] = display;
        QVERIFY2(image == expected, c.action);
        QVERIFY(history.RedoName(LangEnglish).startsWith(c.name));
        QVERIFY(history.Redo());
        expected = after;
        expected[2016] = display;
        QVERIFY2(image == expected, c.action);
    }
}

void TestConfigHistory::historyLimits() {
    ConfigBytes image{};
    ConfigHistory history(image);
    for (int i = 1; i <= ConfigHistory::MaxSteps + 5; ++i) {
        image[1980] = std::uint8_t(i);
        QVERIFY(history.Record());
    }
    QCOMPARE(history.Count(), ConfigHistory::MaxSteps);
    // A change not yet taken is undone first; a new one ends what could be redone.
    image[1981] = 1;
    QVERIFY(history.Undo());
    QCOMPARE(image[1981], 0);
    QCOMPARE(image[1980], ConfigHistory::MaxSteps + 5);
    image[1982] = 1;
    QVERIFY(!history.Redo());
    QVERIFY(!history.CanRedo());
    QCOMPARE(history.UndoName(LangRussian), QStringLiteral("X2/3: Обесточен -> Выход +12В"));
    // A read starts anew.
    history.Restart();
    QVERIFY(!history.CanUndo() && !history.Undo() && !history.Record());
}

QTEST_GUILESS_MAIN(TestConfigHistory)
#include "tst_confighistory.moc"
