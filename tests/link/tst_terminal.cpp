// The controller's text as the log shows it: line assembly across reads, the long-line rules,
// key names in event lines, and the read budget of one call; against the virtual controller.
#include "common/SimRig.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "link/Terminal.h"

#include <QtTest>

using namespace korvex;

class TestTerminal : public QObject {
    Q_OBJECT
private slots:
    void controllerTextBecomesLines_data();
    void controllerTextBecomesLines();
    void oneCallReadsItsBudget();
};

namespace {

struct TerminalRig : test::SimRig {
    TerminalRig() {
        monitor.controllerConnected = true;
        connect();
    }
    ConfigImage image;
    ConfigTransfer transfer{link.device, host, image, monitor, language, link.ports};
    Terminal terminal{link.device, transfer, monitor, link.state, host, language};
};

// Text of a given length whose every byte can be told apart from its neighbours.
QByteArray Numbered(int length) {
    QByteArray text(length, '\0');
    for (int i = 0; i < length; ++i)
        text[i] = static_cast<char>('0' + i % 10);
    return text;
}

} // namespace

void TestTerminal::controllerTextBecomesLines_data() {
    QTest::addColumn<QList<QByteArray>>("sent"); // what the controller queues before each call
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QByteArray>("waiting");

    const QByteArray long12k = Numbered(12000);
    const QByteArray full = QByteArray(9999, 'x');
    QTest::newRow("CR dropped, LF ends, the rest waits")
        << QList<QByteArray>{"abc\r\ndef"} << QStringList{"abc"} << QByteArray("def");
    QTest::newRow("a line across two calls")
        << QList<QByteArray>{"ab", "c\n\n"} << QStringList{"abc", ""} << QByteArray();
    QTest::newRow("key name for the event number")
        << QList<QByteArray>{"X LIN 3 EV:11 pressed\n", "X LIN EV:11\n"}
        << QStringList{"X LIN 3 EV:MENU pressed", "X LIN EV:MENU"} << QByteArray();
    QTest::newRow("first and last key")
        << QList<QByteArray>{"a LIN  EV:0\n", "b LIN x EV:75,\n"}
        << QStringList{"a LIN  EV:KEY NO", "b LIN x EV:TRAFFIC LA,"} << QByteArray();
    QTest::newRow("no key for 76, none without LIN before")
        << QList<QByteArray>{"X LIN 3 EV:76 pressed\n", " EV:11 LIN 3\n", "X LIN 3 xEV:11\n"}
        << QStringList{"X LIN 3 EV:76 pressed", " EV:11 LIN 3", "X LIN 3 xEV:11"} << QByteArray();
    QTest::newRow("code page 1251")
        << QList<QByteArray>{"\xcf\xf0\xe8\xe2\xe5\xf2\n"} << QStringList{"Привет"} << QByteArray();
    // Nothing of a line longer than the buffer is lost: it is shown in pieces.
    QTest::newRow("12,000 characters") << QList<QByteArray>{long12k + "\n"}
                                       << QStringList{QString::fromLatin1(long12k.left(9999)),
                                                      QString::fromLatin1(long12k.mid(9999))}
                                       << QByteArray();
    QTest::newRow("the byte after a full line starts the next")
        << QList<QByteArray>{full + "yz"} << QStringList{QString::fromLatin1(full)}
        << QByteArray("yz");
    QTest::newRow("a CR after a full line is still dropped")
        << QList<QByteArray>{full + "\rb\n"} << QStringList{QString::fromLatin1(full), "b"}
        << QByteArray();
    QTest::newRow("a comma from 9,990 on ends the line")
        << QList<QByteArray>{QByteArray(9990, 'x') + ",yz\n"}
        << QStringList{QString(9990, u'x') + ",", "yz"} << QByteArray();
    QTest::newRow("a comma before 9,990 does not")
        << QList<QByteArray>{QByteArray(9989, 'x') + ",yz\n"}
        << QStringList{QString(9989, u'x') + ",yz"} << QByteArray();
}

void TestTerminal::controllerTextBecomesLines() {
    QFETCH(QList<QByteArray>, sent);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, waiting);
    TerminalRig rig;
    for (const QByteArray& text : sent) {
        rig.controller.queueTerminalText(text);
        // As the monitor does: one call per notice while the controller has text.
        while (rig.controller.queuedTerminalBytes() > 0)
            QCOMPARE(rig.terminal.ReadTerminalText(), 0);
    }
    QCOMPARE(rig.host.blueLines, shown);
    QCOMPARE(rig.terminal.line().pending(), waiting);
    QCOMPARE(rig.host.log.size(), shown.size()); // nothing but the controller's lines
}

void TestTerminal::oneCallReadsItsBudget() {
    TerminalRig rig;
    QByteArray text;
    for (int i = 0; i < 100; ++i)
        text += Numbered(29) + "\n"; // 3000 bytes
    rig.controller.queueTerminalText(text);
    QCOMPARE(rig.terminal.ReadTerminalText(), 0);
    // Reads of 64 bytes until more than 1024 have come: 17 of them.
    QCOMPARE(rig.controller.queuedTerminalBytes(), 3000 - 17 * 64);
    QCOMPARE(rig.host.blueLines.size(), 17 * 64 / 30);
    QCOMPARE(rig.terminal.ReadTerminalText(), 0);
    QCOMPARE(rig.terminal.ReadTerminalText(), 0);
    QCOMPARE(rig.host.blueLines.size(), 100);

    // A failing read ends the call with its code; the line read so far waits.
    rig.controller.queueTerminalText("part");
    QCOMPARE(rig.terminal.ReadTerminalText(), 0);
    rig.controller.queueTerminalText("ial\n");
    rig.controller.addFault(sim::Fault::StatusFD, area::Terminal, 1);
    QCOMPARE(rig.terminal.ReadTerminalText(), -253);
    QCOMPARE(rig.terminal.line().pending(), QByteArray("part"));
    QCOMPARE(rig.terminal.ReadTerminalText(), 0);
    QCOMPARE(rig.host.blueLines.last(), QStringLiteral("partial"));
}

QTEST_GUILESS_MAIN(TestTerminal)
#include "tst_terminal.moc"
