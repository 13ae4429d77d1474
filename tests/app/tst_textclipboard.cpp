// "Paste text" in the window through real events: the panel menu opened by a right click, the
// real question answered Yes, the pasted bytes sent at the next tick, one undo taking them back.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "app/UndoBar.h"
#include "config/ConfigHistory.h"
#include "common/EditorRig.h"
#include "config/ConfigText.h"

#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QMessageBox>
#include <QtTest>

#include <set>

using namespace korvex;
using namespace korvex::test;

class TestTextClipboard : public QObject {
    Q_OBJECT
private slots:
    void pasteAnsweredYesAndUndone();
    void snippetFromAnywhereAsPaste_data();
    void snippetFromAnywhereAsPaste();
};

void TestTextClipboard::snippetFromAnywhereAsPaste_data() {
    QTest::addColumn<QString>("from"); // the clipboard, the open button, a drop
    QTest::addColumn<bool>("changes");
    QTest::addColumn<bool>("yes");
    for (const char* from : {"clipboard", "open", "drop"}) {
        QTest::addRow("%s, changes nothing", from) << from << false << false;
        QTest::addRow("%s, answered No", from) << from << true << false;
        QTest::addRow("%s, answered Yes", from) << from << true << true;
    }
}

void TestTextClipboard::snippetFromAnywhereAsPaste() {
    QFETCH(QString, from);
    QFETCH(bool, changes);
    QFETCH(bool, yes);
    EditorRig rig;
    rig.tick();
    const ConfigBytes before = rig.bytes();
    const QString title = rig.window->windowTitle();
    const int steps = rig.window->undo().history().Count();
    const QByteArray text = changes ? "# KORVEX-SWC-ADP snippet\nX21 = Output +12V\n"
                                    : "# KORVEX-SWC-ADP snippet\nX21 = No power\n";
    const QString file = rig.dir.filePath("keys.txt");
    WriteAll(file, text);
    rig.answers = {yes ? mb::IdYes : mb::IdNo};
    if (from == "clipboard") {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
        rig.window->findChild<QAction*>("MenuItemPasteTextx")->trigger();
    } else if (from == "open") {
        rig.window->files().onShown = [&file](QFileDialog& dialog) {
            dialog.findChild<QLineEdit*>("fileNameEdit")->setText(QDir::toNativeSeparators(file));
            static_cast<QDialog&>(dialog).accept();
        };
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    } else {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QWidget* on = rig.find<QWidget>("PageControlMain");
        QCoreApplication::postEvent(
            on, new QDragEnterEvent({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            on, new QDropEvent({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(); // the drop acts once it has returned
    }
    QCOMPARE(rig.boxes.size(), 1); // one box: the question, or that nothing changes
    const QString name = from == "clipboard" ? "The text from the clipboard" : "The snippet \"keys.txt\"";
    if (!changes) {
        QCOMPARE(rig.boxes[0], name + " changes nothing");
    } else {
        QVERIFY2(rig.boxes[0].startsWith(from == "clipboard"
                                             ? "Apply the text from the clipboard"
                                             : "Apply the snippet \"keys.txt\" to the configuration?") &&
                     rig.boxes[0].contains("X2/1: No power -> Output +12V"),
                 qPrintable(rig.boxes[0]));
    }
    // Applied on top of what the window holds, never opened as a whole configuration.
    QCOMPARE(rig.bytes() != before, changes && yes);
    QCOMPARE(rig.window->undo().history().Count(), steps + (changes && yes ? 1 : 0));
    QCOMPARE(rig.window->windowTitle(), title);
    if (changes && yes) {
        ConfigBytes want = before;
        QVERIFY(ApplyConfigText(QString::fromUtf8(text), want, LangEnglish).ok);
        QVERIFY(rig.bytes() == want);
    }
}

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
