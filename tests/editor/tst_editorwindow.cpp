// The event-reaction editor in the main window, against the virtual controller: what only the
// window can show. The rules behind it are tested without a window.
#include "app/AppCore.h"
#include "common/EditorRig.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"
#include "config/EntryWords.h"
#include "config/EventRules.h"
#include "config/ReactionRules.h"
#include "editor/EditorPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

using namespace korvex;
using namespace korvex::test;

class TestEditorWindow : public QObject {
    Q_OBJECT
private slots:
    void liveEditSendsOnlyTheEntry();
    void displayOnceMoreAfterItsOwnRepair();
    void tabStripMouse();
    void deletionAsksWithTheRealBox();
    void sourceDialogFromTheMask();
    void windowAndDumpAgree();
    void pagesFitAtTheMinimumSize();
};

void TestEditorWindow::liveEditSendsOnlyTheEntry() {
    EditorRig rig;
    rig.tick(2);
    QVERIFY(rig.window->core().monitor.controllerConnected);
    QCOMPARE(rig.readFrames(), 32);
    rig.tick(); // whatever showing the first entry stored has gone out

    // Tab 3, the LIN page, then a key chosen with the keyboard on the key list.
    rig.clickTab(rig.strip(), 2);
    QCOMPARE(rig.strip()->currentIndex(), 2);
    rig.clickTab(rig.eventPages()->tabBar(), kind::EventLin);
    QCOMPARE(rig.eventPages()->currentIndex(), int(kind::EventLin));
    rig.tick();
    rig.controller.clearLog();
    const auto before = rig.controller.config;
    auto* keys = rig.find<QComboBox>("ComboBoxEventLINx");
    keys->setFocus();
    QTest::keyClick(keys, Qt::Key_Down);
    QTest::keyClick(keys, Qt::Key_Down);
    QCOMPARE(keys->currentIndex(), 2);
    QCOMPARE(Get(rig.bytes(), EntryField(2, entry::eventCode)), 2);
    QVERIFY(rig.writes().empty()); // nothing before the tick
    rig.tick();

    const auto writes = rig.writes();
    QCOMPARE(writes.size(), std::size_t(1));
    QCOMPARE(writes[0].offset, std::uint16_t(2 * EntrySize + entry::eventCode.offset));
    QCOMPARE(writes[0].payload, QByteArray(1, '\x02'));
    auto expected = before;
    expected[2 * EntrySize + entry::eventCode.offset] = 2;
    QVERIFY(rig.controller.config == expected);
    QCOMPARE(rig.panel(), QStringLiteral("Send of changes"));
    QCOMPARE(rig.strip()->tabText(2), QStringLiteral("3*"));
}

void TestEditorWindow::displayOnceMoreAfterItsOwnRepair() {
    // A timeout event stored with a long press, as a file may hold it: the display makes it
    // "Any". Choosing "Long" again must be repaired again, not taken for no change.
    EditorRig rig;
    const EntryRef e(rig.bytes(), 4);
    e.set(entry::eventKind, kind::EventTimeout);
    e.set(entry::eventPress, press::Long);
    e.set(entry::eventOnce, 1);
    rig.window->InvalidateViews();
    rig.clickTab(rig.strip(), 4);
    auto* pressList = rig.find<QComboBox>("ComboBoxEventEvent");
    QCOMPARE(pressList->currentIndex(), int(press::Any));
    QCOMPARE(e.get(entry::eventPress), press::Any);
    pressList->setFocus();
    QTest::keyClick(pressList, Qt::Key_Up);
    QCOMPARE(e.get(entry::eventPress), press::Any);
    QCOMPARE(pressList->currentIndex(), int(press::Any));
    QVERIFY(rig.find<QCheckBox>("CheckBoxEventOnce")->isChecked());

    // A refused threshold stores nothing and says why; 18000 with ">" is 0xC650.
    rig.clickTab(rig.eventPages()->tabBar(), kind::EventVoltage);
    auto* threshold = rig.find<QLineEdit>("EditEventVoltageValue");
    threshold->setFocus();
    threshold->selectAll();
    QTest::keyClicks(threshold, "18001");
    QTest::keyClick(threshold, Qt::Key_Return);
    QCOMPARE(rig.boxes.size(), 1);
    QCOMPARE(threshold->text(), QStringLiteral("0"));
    QCOMPARE(e.get(entry::eventVoltage), 0);
    threshold->selectAll();
    QTest::keyClicks(threshold, "18000");
    QTest::keyClick(threshold, Qt::Key_Return);
    auto* sign = rig.find<QToolButton>("SpeedButtonEventVoltageZnakx");
    QCOMPARE(sign->text(), QStringLiteral("<"));
    QTest::mouseClick(sign, Qt::LeftButton);
    QCOMPARE(sign->text(), QStringLiteral(">"));
    QCOMPARE(e.get(entry::eventVoltage), 0xC650);
}

void TestEditorWindow::tabStripMouse() {
    EditorRig rig;
    QTabBar* strip = rig.strip();
    // A double click opens the name dialog at the pointer; Enter stores the name.
    const QPoint at = strip->tabRect(11).center();
    QString title;
    QPoint placed;
    rig.whenModal([&](QWidget* dialog) {
        title = dialog->windowTitle();
        placed = dialog->pos();
        auto* edit = dialog->findChild<QLineEdit*>("EditEventReaction");
        QTest::keyClicks(edit, "Volume");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    // Through the window, so that Qt itself makes the second press a double click.
    QTest::mouseDClick(rig.window->windowHandle(), Qt::LeftButton, {},
                       strip->mapTo(rig.window.get(), at));
    QCOMPARE(strip->currentIndex(), 11);
    QCOMPARE(title, QStringLiteral("Set name for 12 tab"));
    QCOMPARE(placed, strip->mapToGlobal(at));
    QCOMPARE(strip->tabText(11), QStringLiteral("12* (Volume)"));
    QCOMPARE(EntryRef(rig.bytes(), 11).name(), QByteArray("Volume"));
    QVERIFY(std::all_of(rig.bytes().begin() + 11 * EntrySize + 6,
                        rig.bytes().begin() + 11 * EntrySize + 10, [](auto b) { return b == 0; }));

    // Renamed: a name of ten characters has no terminator, a shorter one leaves no tail of it;
    // an eleventh character and one outside code page 1251 are refused; Escape keeps the name.
    const auto rename = [&](const QString& typed, QList<Qt::Key> keys) {
        bool selected = false;
        rig.whenModal([typed, keys, &selected](QWidget* dialog) {
            auto* edit = dialog->findChild<QLineEdit*>("EditEventReaction");
            selected = edit->selectedText() == edit->text();
            Type(edit, typed);
            for (Qt::Key key : keys)
                QTest::keyClick(edit, key);
        });
        QTest::mouseDClick(rig.window->windowHandle(), Qt::LeftButton, {},
                           strip->mapTo(rig.window.get(), at));
        QVERIFY(selected); // typing replaces the old name
    };
    rename(QStringLiteral("Head\u2713lights!"), {Qt::Key_Return});
    QCOMPARE(EntryRef(rig.bytes(), 11).name(), QByteArray("Headlights"));
    QCOMPARE(strip->tabText(11), QStringLiteral("12* (Headlights)"));
    rename(QStringLiteral("Fog"), {Qt::Key_Return});
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(rig.bytes().data()) + 11 * EntrySize, 10),
             QByteArray("Fog\0\0\0\0\0\0\0", 10));
    rename(QStringLiteral("Туман"), {Qt::Key_Escape});
    QCOMPARE(strip->tabText(11), QStringLiteral("12* (Fog)"));
    rename(QStringLiteral("Туман"), {Qt::Key_Return});
    QCOMPARE(EntryRef(rig.bytes(), 11).name(), QByteArray("\xD2\xF3\xEC\xE0\xED"));
    // A name cleared from an otherwise empty entry leaves it all zero: the bare number.
    rename(QString(), {Qt::Key_Backspace, Qt::Key_Return});
    QVERIFY(IsEntryEmpty(rig.bytes(), 11));
    QCOMPARE(strip->tabText(11), QStringLiteral("12"));
    rename(QStringLiteral("Volume"), {Qt::Key_Return});

    // The tab menu: six groups of ten with the captions of the moment; a tab chosen there keeps
    // automatic capture, a tab clicked on the strip ends it.
    rig.window->SetAutoCapture(true);
    auto* capture = rig.find<QLabel>("PanelEventZerox");
    QCOMPARE(capture->text(), QStringLiteral("Receive events automatically"));
    rig.clickTab(strip, 0, Qt::RightButton);
    auto* menu = rig.window->findChild<QMenu*>("PopupMenuSelectTabs");
    QTRY_VERIFY(menu->isVisible());
    const QList<QAction*> groups = menu->actions();
    QCOMPARE(groups.size(), 6);
    QCOMPARE(groups.first()->text(), QStringLiteral("1...10"));
    QCOMPARE(groups.last()->text(), QStringLiteral("51...60"));
    for (QAction* group : groups)
        QCOMPARE(group->menu()->actions().size(), 10);
    QAction* twelve = groups[1]->menu()->actions()[1];
    QCOMPARE(twelve->text(), QStringLiteral("12* (Volume)"));
    menu->close();
    groups[2]->menu()->actions()[4]->trigger(); // tab 25
    QCOMPARE(strip->currentIndex(), 24);
    QVERIFY(rig.window->editor().autoCapture());
    // A click on the page already shown is no change of page.
    for (QTabWidget* pages :
         {rig.eventPages(), rig.reactionPages(), rig.find<QTabWidget>("PageControlParams")}) {
        rig.clickTab(pages->tabBar(), pages->currentIndex());
        QVERIFY2(rig.window->editor().autoCapture(), qPrintable(pages->objectName()));
    }
    rig.clickTab(strip, 1);
    QCOMPARE(strip->currentIndex(), 1);
    QVERIFY(!rig.window->editor().autoCapture());
    QCOMPARE(capture->text(), QStringLiteral("Get Event on click"));
}

void TestEditorWindow::deletionAsksWithTheRealBox() {
    EditorRig rig;
    rig.window->host().answerBox = nullptr; // the real box
    for (int n : {5, 9}) {
        const EntryRef e(rig.bytes(), n);
        e.setName("Timer");
        e.set(entry::eventKind, kind::EventTimeout);
        e.set(entry::reactionKind, kind::ReactionPin);
    }
    rig.window->popupMenu().findChild<QAction*>("MenuItemOnlyUsed")->trigger();
    rig.clickTab(rig.strip(), 9);
    QVERIFY(rig.eventPages()->isTabVisible(kind::EventTimeout));
    QVERIFY(!rig.eventPages()->isTabVisible(kind::EventVoltage));

    // A kind stored behind the view's back, as a capture does: its page stays hidden, and so
    // does its menu item.
    EntryRef(rig.bytes(), 20).set(entry::eventKind, kind::EventVoltage);
    const ConfigBytes before = rig.bytes();
    auto* menu = rig.window->findChild<QMenu*>("PopupMenuSelectEvent");
    const QString deleteTimeouts = QStringLiteral("Delete all events \"Timeout\"");
    QStringList seen;
    for (bool yes : {false, true}) {
        rig.clickTab(rig.eventPages()->tabBar(), 0, Qt::RightButton);
        QTRY_VERIFY(menu->isVisible());
        QAction* action = EditorRig::item(menu, deleteTimeouts);
        QVERIFY(action != nullptr);
        QVERIFY(EditorRig::item(menu, QStringLiteral("Voltage")) == nullptr);
        menu->close();
        rig.whenModal([&, yes](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box != nullptr);
            seen << box->windowTitle() << box->text();
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
            QTest::mouseClick(box->button(yes ? QMessageBox::Yes : QMessageBox::No),
                              Qt::LeftButton);
        });
        action->trigger();
        if (!yes)
            QVERIFY(rig.bytes() == before);
    }
    QCOMPARE(seen.mid(0, 2),
             QStringList({"Warning", "Are you sure you want to delete\nall events \"Timeout\" and "
                                     "it's response?"}));
    QVERIFY(IsEntryEmpty(rig.bytes(), 5) && IsEntryEmpty(rig.bytes(), 9));
    QCOMPARE(rig.strip()->currentIndex(), 5);
    QCOMPARE(rig.strip()->tabText(9), QStringLiteral("10"));
    // The kind is no longer used anywhere: its page is gone.
    QVERIFY(!rig.eventPages()->isTabVisible(kind::EventTimeout));
    QVERIFY(!rig.reactionPages()->isTabVisible(kind::ReactionPin));
}

void TestEditorWindow::sourceDialogFromTheMask() {
    EditorRig rig;
    rig.tick(2);
    const EntryRef e(rig.bytes(), 1);
    rig.clickTab(rig.strip(), 1); // a LIN event with any press in the factory configuration
    auto* mask = rig.find<QComboBox>("ComboBoxEventSRCMASK");
    QVERIFY(mask->isEnabled());
    QPoint placed;
    const auto pick = [&](std::initializer_list<int> rows) {
        rig.whenModal([&placed, rows](QWidget* dialog) {
            placed = dialog->pos();
            auto* list = dialog->findChild<QListWidget*>("CheckListBoxInterceptSourcesx");
            for (int row : rows) {
                QListWidgetItem* item = list->item(row);
                item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked
                                                                      : Qt::Checked);
            }
            QTest::mouseClick(dialog->findChild<QPushButton*>("ButtonOK"), Qt::LeftButton);
        });
        mask->setFocus();
        QTest::keyClick(mask, Qt::Key_Down); // "Select..."
    };
    // Ticked, then closed with Escape: nothing chosen, and the list is back at "Any".
    rig.whenModal([](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>("CheckListBoxInterceptSourcesx");
        list->item(2)->setCheckState(Qt::Checked);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    mask->setFocus();
    QTest::keyClick(mask, Qt::Key_Down);
    QCOMPARE(e.get(entry::eventSourceMask), 0);
    QCOMPARE(mask->currentIndex(), 0);

    pick({1, 7});
    QCOMPARE(placed, mask->mapToGlobal(QPoint(mask->width() / 2, mask->height())));
    QCOMPARE(e.get(entry::eventSourceMask), 0x82);
    QCOMPARE(mask->currentIndex(), 1);
    QCOMPARE(mask->currentText(), QStringLiteral(" 2 8"));
    // Up to "Any", then all eight: that is any source again.
    QTest::keyClick(mask, Qt::Key_Up);
    QCOMPARE(e.get(entry::eventSourceMask), 0);
    pick({0, 1, 2, 3, 4, 5, 6, 7});
    QCOMPARE(e.get(entry::eventSourceMask), 0);
    QCOMPARE(mask->currentIndex(), 0);
    QCOMPARE(mask->itemText(1), QStringLiteral("Select..."));
}

void TestEditorWindow::windowAndDumpAgree() {
    EditorRig rig;
    ConfigImage& image = rig.window->core().image;
    TestHost host;
    QVERIFY(LoadConfigFile(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA"), image, host));
    // Beside the sample's entries, values that the display puts right.
    const auto add = [&image](int n, int eventKind, int pressType, int reactionKind, int code) {
        const EntryRef e(image.bytes, n);
        e.set(entry::eventKind, std::uint8_t(eventKind));
        e.set(entry::eventPress, std::uint8_t(pressType));
        e.set(entry::eventSourceMask, 0xFF);
        e.set(entry::reactionKind, std::uint8_t(reactionKind));
        e.set(entry::reactionCode, std::uint8_t(code));
    };
    add(10, kind::EventVoltage, press::Long, kind::ReactionEventControl, EventHandleDisable);
    add(11, kind::EventSource, press::Short, kind::ReactionSource, ReactionSourcePrevious);
    add(12, 9, press::Any, 7, 0);
    add(13, kind::EventLin, press::Disabled, kind::ReactionPin, 0);
    const ConfigImage file = image;
    rig.window->InvalidateViews();
    int used = 0;
    for (int n = 0; n < EntryCount; ++n) {
        const QString event = EventText(file, n, LangEnglish);
        const QString reaction = ReactionText(file, n, LangEnglish);
        rig.window->editor().SelectTab(n);
        const QString eventPage = rig.eventPages()->tabText(rig.eventPages()->currentIndex());
        const QString reactionPage =
            rig.reactionPages()->tabText(rig.reactionPages()->currentIndex());
        QVERIFY2(event.startsWith(eventPage), qPrintable(event + " / " + eventPage));
        QVERIFY2(reaction.startsWith(reactionPage), qPrintable(reaction + " / " + reactionPage));
        if (rig.eventPages()->currentIndex() == kind::EventLin) {
            const QString key = rig.find<QComboBox>("ComboBoxEventLINx")->currentText();
            QVERIFY2(event.contains('"' + key + '"'), qPrintable(event + " / " + key));
        }
        const QString pressed = rig.find<QComboBox>("ComboBoxEventEvent")->currentText();
        if (rig.eventPages()->currentIndex() != kind::EventNone)
            QVERIFY2(event.contains("Press: " + pressed), qPrintable(event + " / " + pressed));
        QCOMPARE(event.contains("One time only"),
                 rig.find<QCheckBox>("CheckBoxEventOnce")->isChecked());
        used += !IsEntryEmpty(file.bytes, n);
    }
    QCOMPARE(used, 7);
}

void TestEditorWindow::pagesFitAtTheMinimumSize() {
    EditorRig rig;
    QCOMPARE(rig.window->size(), QSize(720, 513));
    for (int language : {LangRussian, LangEnglish}) {
        rig.window->SetLanguage(language);
        for (QTabWidget* pages :
             {rig.eventPages(), rig.reactionPages(), rig.find<QTabWidget>("PageControlParams")}) {
            for (int i = 0; i < pages->count(); ++i) {
                pages->setCurrentIndex(i);
                QApplication::processEvents();
                QWidget* page = pages->widget(i);
                const QSize need = page->minimumSizeHint();
                QVERIFY2(need.width() <= page->width() && need.height() <= page->height(),
                         qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5")
                                        .arg(page->objectName())
                                        .arg(need.width())
                                        .arg(need.height())
                                        .arg(page->width())
                                        .arg(page->height())));
            }
        }
    }
}

QTEST_MAIN(TestEditorWindow)
#include "tst_editorwindow.moc"
