// "Paste text" in the window through real events: the panel menu opened by a right click, the
// real question answered Yes, the pasted bytes sent at the next tick, one undo taking them back.
#include "app/AppCore.h"
#include "common/EditorRig.h"
#include "config/ConfigText.h"

#include <QClipboard>
#include <QMessageBox>
#include <QtTest>

#include <set>

using namespace korvex;
using namespace korvex::test;

class TestTextClipboard : public QObject {
    Q_OBJECT
private slots:
    void pasteAnsweredYesAndUndone();
};

void TestTextClipboard::pasteAnsweredYesAndUndone() {
    EditorRig rig;
    rig.window->host().answerBox = nullptr; // the real boxes
    rig.tick();
    const ConfigBytes before = rig.bytes();
    QGuiApplication::clipboard()->setText(
        "# KORVEX-SWC-ADP snippet\nX21 = Output +12V\n"
        "entry next = VOL-\nevent = LIN\nkey = VOL DN\npress = Any\n");
    QMenu& menu = rig.window->popupMenu();
    const auto clickItem = [&](const char* name) {
        QTest::mouseClick(rig.find<QWidget>("PanelMenu"), Qt::RightButton);
        QTRY_VERIFY(menu.isVisible());
        auto* action = menu.findChild<QAction*>(name);
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
    };
    QString question;
    rig.whenModal([&question](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        question = box->text();
        QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
    });
    clickItem("MenuItemPasteTextx");
    QTRY_VERIFY(!question.isEmpty());
    QVERIFY2(question.contains("X2/1: No power -> Output +12V") &&
                 question.contains("3* (VOL-): added"),
             qPrintable(question));
    ConfigBytes want = before;
    QVERIFY(ApplyConfigText(QGuiApplication::clipboard()->text(), want, LangEnglish).ok);
    QVERIFY(rig.bytes() == want);
    // Sent live as any edit: exactly the bytes the paste changed.
    const auto sent = [&rig] {
        rig.controller.clearLog();
        rig.tick();
        std::set<int> offsets;
        for (const auto& w : rig.writes())
            for (int i = 0; i < w.payload.size(); ++i)
                offsets.insert(w.offset + i);
        return offsets;
    };
    std::set<int> changed;
    for (int i = 0; i < ConfigImageSize; ++i) {
        if (want[size_t(i)] != before[size_t(i)])
            changed.insert(i);
    }
    QCOMPARE(sent(), changed);
    for (const int i : changed)
        QCOMPARE(rig.controller.config[size_t(i)], want[size_t(i)]);

    // One undo takes the whole paste back, and the controller gets its bytes back.
    rig.window->activateWindow();
    QTRY_VERIFY(rig.window->isActiveWindow());
    QVERIFY(rig.find<QToolButton>("SpeedButtonUndox")->toolTip().startsWith("Undo: "));
    QTest::keyClick(rig.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(rig.bytes() == before);
    QCOMPARE(sent(), changed);
    for (const int i : changed)
        QCOMPARE(rig.controller.config[size_t(i)], before[size_t(i)]);

    // Copy as text puts the whole configuration there, which reads back as it is.
    clickItem("MenuItemCopyTextx");
    ConfigBytes copied{};
    QTRY_VERIFY(ApplyConfigText(QGuiApplication::clipboard()->text(), copied, LangRussian).ok);
    QVERIFY(copied == before);
    QVERIFY(QGuiApplication::clipboard()->text().contains("serial number 230417"));
}

QTEST_MAIN(TestTextClipboard)
#include "tst_textclipboard.moc"
