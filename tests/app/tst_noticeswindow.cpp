// Key notices, event capture and the terminal in the main window, against the virtual
// controller: the clicks, menus and keys a user gives, and what reaches the controller.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "common/EditorRig.h"
#include "config/EventRules.h"
#include "editor/EditorPanel.h"
#include "link/LogWindow.h"
#include "text/Cp1251.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace korvex;
using namespace korvex::test;

class TestNoticesWindow : public QObject {
    Q_OBJECT
private slots:
    void capture_data();
    void capture();
    void userTabChangeEndsAutoCapture();
    void enterInTheInputMemo_data();
    void enterInTheInputMemo();
    void logSavedToFile();
};

namespace {

constexpr std::uint8_t TerminalWrite = 0x80 | area::Terminal;

struct NoticesRig : EditorRig {
    NoticesRig() {
        controller.config.fill(0); // a blank controller: every entry free
        tick(3);                   // connected, read, and the first display's own repairs sent
    }
    QLabel* capturePanel() const { return window->editor().capturePanel(); }
    bool autoCapture() const { return window->editor().autoCapture(); }
    QMenu* keysMenu() const { return window->log().PopupMenuKeys(); }
    // The user clicks an item of an open popup menu.
    static void clickItem(QMenu* menu, QAction* action) {
        QVERIFY(menu->isVisible());
        QVERIFY(action != nullptr && action->isVisible());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }
    void switchAutoCaptureOn() const {
        QTest::mousePress(capturePanel(), Qt::RightButton);
        QTest::mouseRelease(capturePanel(), Qt::RightButton);
        clickItem(keysMenu(), item(keysMenu(), QStringLiteral("Get all events")));
    }
};

} // namespace

void TestNoticesWindow::capture_data() {
    QTest::addColumn<bool>("automatic");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<int>>("used"); // entries that hold another event
    QTest::addColumn<int>("sameKeyIn");   // an entry with the noticed key, -1 none
    QTest::addColumn<int>("sameKeyPress");
    QTest::addColumn<int>("flag");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("storedIn");
    QTest::addColumn<int>("tabAfter");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("autoAfter");

    const QString received = "Event received", missing = "Event is missing";
    const QString inTab5 = "Such an event already exists, 5 tab";
    const QString volUp = "Pressed key \"VOL UP\"";
    const QString sent = "Send of changes"; // the capture goes out in the tick that made it
    QList<int> all;
    for (int i = 0; i < EntryCount; ++i)
        all << i;
    // clang-format off
    QTest::newRow("click stores into the selected entry")
        << false << 2 << QList<int>{} << -1 << 0 << 1 << 12 << 2 << 2 << received << false;
    QTest::newRow("click finds it in entry 4")
        << false << 2 << QList<int>{} << 4 << 3 << 1 << 12 << -1 << 2 << inTab5 << false;
    QTest::newRow("another press is no duplicate")
        << false << 2 << QList<int>{} << 4 << 2 << 1 << 12 << 2 << 2 << received << false;
    QTest::newRow("flag 0 is not stored")
        << false << 2 << QList<int>{} << -1 << 0 << 0 << 12 << -1 << 2 << missing << false;
    QTest::newRow("flag 0 still finds the duplicate")
        << false << 2 << QList<int>{} << 4 << 3 << 0 << 12 << -1 << 2 << inTab5 << false;
    QTest::newRow("auto into the free selected entry")
        << true << 7 << QList<int>{} << -1 << 0 << 1 << 12 << 7 << 7 << sent << true;
    QTest::newRow("auto into the next free entry")
        << true << 7 << QList<int>{7, 8} << -1 << 0 << 1 << 12 << 9 << 9 << sent << true;
    QTest::newRow("auto wraps to the first entry")
        << true << 58 << QList<int>{58, 59} << -1 << 0 << 1 << 12 << 0 << 0 << sent << true;
    QTest::newRow("auto meets a duplicate")
        << true << 7 << QList<int>{} << 4 << 3 << 1 << 12 << -1 << 7 << inTab5 << true;
    QTest::newRow("auto with no free entry stops")
        << true << 7 << all << -1 << 0 << 1 << 12 << -1 << 7 << volUp << false;
    QTest::newRow("auto: a key notice with flag 0 shows and captures nothing")
        << true << 7 << QList<int>{} << -1 << 0 << 0 << 12 << -1 << 7 << QString() << true;
    QTest::newRow("key 76 shows and captures nothing")
        << true << 7 << QList<int>{} << -1 << 0 << 1 << 76 << -1 << 7 << QString() << true;
    // clang-format on
}

void TestNoticesWindow::capture() {
    QFETCH(bool, automatic);
    QFETCH(int, selected);
    QFETCH(QList<int>, used);
    QFETCH(int, sameKeyIn);
    QFETCH(int, sameKeyPress);
    QFETCH(int, flag);
    QFETCH(int, code);
    QFETCH(int, storedIn);
    QFETCH(int, tabAfter);
    QFETCH(QString, notice);
    QFETCH(bool, autoAfter);

    NoticesRig rig;
    rig.clickTab(rig.strip(), selected);
    QCOMPARE(rig.strip()->currentIndex(), selected);
    if (automatic)
        rig.switchAutoCaptureOn();
    QCOMPARE(rig.autoCapture(), automatic);
    // The entries as a loaded file would have them.
    for (int n : used) {
        const EntryRef e(rig.bytes(), n);
        e.set(entry::eventKind, kind::EventVoltage);
        e.set(entry::eventVoltage, 12000);
    }
    if (sameKeyIn >= 0) {
        const EntryRef e(rig.bytes(), sameKeyIn);
        e.set(entry::eventKind, kind::EventLin);
        e.set(entry::eventCode, code);
        e.set(entry::eventPress, sameKeyPress);
    }
    // A reaction already there stays as it is.
    if (storedIn >= 0)
        Set(rig.bytes(), EntryField(storedIn, entry::reactionKind), kind::ReactionPin);
    rig.window->ShowSelectedEntry();
    rig.tick();
    const ConfigBytes before = rig.bytes();
    rig.window->host().ClearPanelMessage();

    if (automatic) {
        rig.controller.pressKey(static_cast<std::uint8_t>(code), flag == 1,
                                static_cast<std::uint8_t>(flag));
        rig.tick();
    } else {
        rig.controller.setLastEvent(1, static_cast<std::uint8_t>(flag),
                                    static_cast<std::uint8_t>(code));
        QTest::mouseClick(rig.capturePanel(), Qt::LeftButton);
    }

    ConfigBytes expected = before;
    if (storedIn >= 0) {
        const EntryRef e(expected, storedIn);
        e.set(entry::eventKind, kind::EventLin);
        e.set(entry::eventCode, code);
        e.set(entry::eventPress, press::Any);
    }
    QCOMPARE(rig.bytes(), expected);
    QCOMPARE(rig.panel(), notice);
    QCOMPARE(rig.strip()->currentIndex(), tabAfter);
    QCOMPARE(rig.autoCapture(), autoAfter);
    // The panel says what is true, also when capture stopped by itself.
    QCOMPARE(rig.capturePanel()->text(), CapturePanelCaption(autoAfter, LangEnglish));
    if (storedIn >= 0) {
        QCOMPARE(rig.strip()->tabText(storedIn), QStringLiteral("%1*").arg(storedIn + 1));
        QCOMPARE(rig.eventPages()->currentIndex(), int(kind::EventLin));
    }
    rig.tick();
    // The capture went out at the next tick.
    const auto entries = [](const auto& bytes) {
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), EntryCount * EntrySize);
    };
    QCOMPARE(entries(rig.controller.config), entries(rig.bytes()));
}

void TestNoticesWindow::userTabChangeEndsAutoCapture() {
    NoticesRig rig;
    // The event panel's menu offers only its own item; the log's offers all three.
    QTest::mousePress(rig.capturePanel(), Qt::RightButton);
    QStringList visible;
    for (QAction* a : rig.keysMenu()->actions())
        if (a->isVisible())
            visible << a->text();
    QCOMPARE(visible, QStringList{"Get all events"});
    rig.keysMenu()->hide();
    QTest::mousePress(rig.find<QTextEdit>("RichEditRX")->viewport(), Qt::RightButton);
    visible.clear();
    for (QAction* a : rig.keysMenu()->actions())
        if (a->isVisible())
            visible << a->text();
    QCOMPARE(visible, (QStringList{"Clear screen", "Copy All", "Save to file..."}));
    rig.keysMenu()->hide();

    rig.switchAutoCaptureOn();
    QCOMPARE(rig.capturePanel()->toolTip(),
             QStringLiteral("Make external events, they are automatically entered"));
    rig.controller.pressKey(13);
    rig.tick();
    QCOMPARE(rig.strip()->currentIndex(), 0);
    rig.controller.pressKey(14);
    rig.tick();
    QCOMPARE(rig.strip()->currentIndex(), 1); // the program's selection keeps it on
    QVERIFY(rig.autoCapture());
    rig.clickTab(rig.strip(), 5);
    QVERIFY(!rig.autoCapture());
    QCOMPARE(rig.capturePanel()->text(), QStringLiteral("Get Event on click"));
    rig.controller.pressKey(16);
    rig.tick();
    QCOMPARE(Get(rig.bytes(), EntryField(5, entry::eventKind)), 0);
}

void TestNoticesWindow::enterInTheInputMemo_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QList<QByteArray>>("sent");
    QTest::addColumn<QString>("memoAfter");

    const QString hundred = QString(50, u'a') + QString(50, u'b');
    QTest::newRow("end of the last line") << "abc" << 3 << QList<QByteArray>{"abc"} << "abc\n";
    QTest::newRow("middle of the text")
        << "one\ntwo\nthree" << 5 << QList<QByteArray>{"two"} << "one\ntwo\nthree";
    QTest::newRow("start of a line") << "one\ntwo" << 4 << QList<QByteArray>{"two"} << "one\ntwo";
    QTest::newRow("empty last line") << "abc\n" << 4 << QList<QByteArray>{} << "abc\n";
    QTest::newRow("empty memo") << "" << 0 << QList<QByteArray>{} << "";
    QTest::newRow("cut to 63") << hundred << 100 << QList<QByteArray>{hundred.left(63).toLatin1()}
                               << hundred + "\n";
    QTest::newRow("999 characters are not sent")
        << QString(999, u'x') << 999 << QList<QByteArray>{} << QString(999, u'x') + "\n";
    QTest::newRow("Cyrillic in code page 1251")
        << "Привет" << 6 << QList<QByteArray>{"\xcf\xf0\xe8\xe2\xe5\xf2"} << "Привет\n";
}

void TestNoticesWindow::enterInTheInputMemo() {
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QList<QByteArray>, sent);
    QFETCH(QString, memoAfter);
    NoticesRig rig;
    auto* memo = rig.find<QPlainTextEdit>("MemoTX");
    memo->setPlainText(text);
    QTextCursor cursor = memo->textCursor();
    cursor.setPosition(caret);
    memo->setTextCursor(cursor);
    rig.controller.clearLog();
    QTest::keyClick(memo, Qt::Key_Return);
    QCOMPARE(rig.controller.terminalIn, sent);
    QCOMPARE(memo->toPlainText(), memoAfter);
    if (sent.isEmpty())
        return;
    // One write of the line and its terminator, at most 64 bytes.
    std::vector<sim::LoggedRequest> writes;
    for (const auto& r : rig.controller.requests)
        if (r.cmd == TerminalWrite)
            writes.push_back(r);
    QCOMPARE(writes.size(), std::size_t(1));
    QCOMPARE(writes[0].payload, sent[0] + QByteArray(1, '\0'));
    // The answer is fetched at once and shown in blue.
    QCOMPARE(rig.window->host().monitorTimer().interval(), 1);
    rig.tick();
    QVERIFY(rig.log().endsWith(QStringLiteral("> ") + DecodeCp1251(sent[0])));

    QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
    QCOMPARE(memo->toPlainText(), QString());
}

void TestNoticesWindow::logSavedToFile() {
    NoticesRig rig;
    rig.controller.queueTerminalText("\xcf\xf0\xe8\xe2\xe5\xf2 LIN 1 EV:12\r\n");
    rig.tick();
    const QString shown = rig.log();
    QVERIFY(shown.endsWith(QStringLiteral("Привет LIN 1 EV:VOL UP")));
    const QString file = rig.dir.filePath("log.txt");
    rig.window->files().onShown = [&](QFileDialog& dialog) {
        dialog.findChild<QLineEdit*>()->setText(file);
        static_cast<QDialog&>(dialog).accept();
    };
    QTest::mousePress(rig.find<QTextEdit>("RichEditRX")->viewport(), Qt::RightButton);
    NoticesRig::clickItem(rig.keysMenu(), rig.window->log().SaveToFilex());
    QTRY_VERIFY(QFile::exists(file));
    QCOMPARE(QString::fromUtf8(ReadAll(file)), shown);

    // Without a controller a typed line goes nowhere and the user is told.
    rig.controller.setPlugged(false);
    rig.tick();
    auto* memo = rig.find<QPlainTextEdit>("MemoTX");
    memo->setPlainText("abc");
    memo->moveCursor(QTextCursor::End);
    rig.controller.clearLog();
    QTest::keyClick(memo, Qt::Key_Return);
    QCOMPARE(rig.boxes.value(0), QStringLiteral("Controller is not connected!"));
    QCOMPARE(rig.boxFlags.value(0), mb::IconError);
    QVERIFY(rig.controller.terminalIn.isEmpty());
}

QTEST_MAIN(TestNoticesWindow)
#include "tst_noticeswindow.moc"
