// Undo and redo in the window on the virtual controller, through real clicks and keys: the bytes
// come back and exactly they reach the controller at the next tick.
#include "app/AppCore.h"
#include "common/EditorRig.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"

#include <QMessageBox>
#include <QtTest>

using namespace korvex;
using namespace korvex::test;

class TestUndoWindow : public QObject {
    Q_OBJECT
private slots:
    void kindPageAndDeletionUndone();
};

void TestUndoWindow::kindPageAndDeletionUndone() {
    EditorRig rig;
    rig.window->host().answerBox = nullptr; // the real boxes
    const EntryRef timeout(rig.controller.config, 2);
    timeout.set(entry::eventKind, kind::EventTimeout);
    timeout.set(entry::eventTimeout, 5000);
    rig.tick();
    // Nothing to undo after a read.
    QVERIFY(!rig.enabled("SpeedButtonUndox") && !rig.enabled("SpeedButtonRedox"));
    const auto sentAtNextTick = [&rig] {
        rig.controller.clearLog();
        rig.tick();
        QByteArray sent;
        for (const auto& w : rig.writes())
            sent += QByteArray::number(w.offset) + ':' + QByteArray::number(w.payload.size()) + ' ';
        return sent;
    };

    // A look at the Voltage page of a timeout event clears the event part.
    rig.clickTab(rig.strip(), 2);
    rig.tick(); // what its display set is sent
    const ConfigBytes shown = rig.bytes();
    rig.clickTab(rig.eventPages()->tabBar(), kind::EventVoltage);
    const ConfigBytes voltage = rig.bytes();
    QCOMPARE(voltage[66 + 10], kind::EventVoltage);
    const QByteArray changed = sentAtNextTick(); // the runs within its 11 event bytes
    QCOMPARE(changed, QByteArray("76:1 79:2 "));
    QVERIFY(rig.find<QToolButton>("SpeedButtonUndox")->toolTip().startsWith("Undo: 3*: Event: "));
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(rig.bytes() == shown);
    QCOMPARE(sentAtNextTick(), changed);
    QVERIFY(std::equal(shown.begin() + 66, shown.begin() + 99, rig.controller.config.begin() + 66));
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(rig.bytes() == voltage);
    QCOMPARE(sentAtNextTick(), changed);

    // Every event deleted, answered Yes: one undo brings back all 60 entries.
    const ConfigBytes full = rig.bytes();
    auto* menu = rig.window->findChild<QMenu*>("PopupMenuSelectEvent");
    rig.clickTab(rig.eventPages()->tabBar(), 0, Qt::RightButton);
    QTRY_VERIFY(menu->isVisible());
    QAction* deleteAll = EditorRig::item(menu, QStringLiteral("Delete all events"));
    QVERIFY(deleteAll != nullptr);
    menu->close();
    rig.whenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    deleteAll->trigger();
    QVERIFY(rig.bytes() != full);
    rig.window->activateWindow(); // back from the box, as the window manager does
    QTRY_VERIFY(rig.window->isActiveWindow());
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(rig.bytes() == full);
    QTest::keyClick(rig.window.get(), Qt::Key_Y, Qt::ControlModifier);
    for (int n = 0; n < EntryCount; ++n)
        QCOMPARE(EntryRef(rig.bytes(), n).get(entry::eventKind), 0);
    rig.tick();
    // A file kept in the window (No), then undone: nothing goes to the controller.
    ConfigImage file;
    file.bytes = rig.bytes();
    file.bytes[1980] = 1;
    test::TestHost h;
    const QString path = rig.dir.filePath("x.KSWA");
    QVERIFY(SaveConfigFile(path, file, h, LangEnglish).ok());
    rig.whenModal([](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    rig.window->core().commands.OpenConfigFile(path); // as a drop or a recent file opens it
    QCOMPARE(rig.bytes()[1980], 1);
    rig.window->activateWindow();
    QTRY_VERIFY(rig.window->isActiveWindow());
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rig.bytes()[1980], 0);
    QCOMPARE(sentAtNextTick(), QByteArray());

    // An undo shows the tab of the first byte it puts back, be it an entry's first or last.
    for (const int at : {33 * 4, 33 * 4 + 32}) {
        rig.clickTab(rig.strip(), 0);
        rig.bytes()[std::size_t(at)] ^= 0x5A; // not yet a step: the undo takes it first
        QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rig.strip()->currentIndex(), 4);
    }
}

QTEST_MAIN(TestUndoWindow)
#include "tst_undowindow.moc"
