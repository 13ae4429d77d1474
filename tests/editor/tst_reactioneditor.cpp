// The reaction pages driven as a user would: page clicks, choices, Enter in edits, clicks on
// boxes and the skip button; the rules behind them are tested on their own.
#include "common/TestHost.h"
#include "config/Vocabulary.h"
#include "editor/ReactionEditor.h"
#include "text/ApplyLanguageTable.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace korvex;

class TestReactionEditor : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pageClickStartsTheKindAfresh();
    void pinChoicesAndEnterOnlyDuration();
    void boxesStoreIntoTheSelectedEntry();
    void radioPageOverrideAndVoltages();
    void skipButtonRunsTheDialogBelowIt();
    void languageSwitchRefillsListsAndShowRestores();
};

namespace {

constexpr int N = 2; // entry 2, at offset 66

struct DialogCall {
    QString line1, line2;
    QPoint at;
    std::uint8_t mask;
};

struct Rig {
    QWidget window; // the language table addresses the controls through the window's name
    QTabWidget* tabs = new QTabWidget(&window);
    ConfigImage image;
    test::TestHost host;
    LanguageState language;
    int selected = N;
    int guard = 0;
    int shows = 0;
    int nestedShows = 0;
    int captureOffs = 0;
    QList<DialogCall> dialogs;
    std::uint8_t dialogAnswer = 0;
    ReactionEditor editor{tabs, EditorContext{image, language, host, [this] { return selected; },
                                              [this] { display(); }, [this] { ++captureOffs; },
                                              [this](const QString& l1, const QString& l2,
                                                     QPoint at, std::uint8_t& mask) {
                                                  dialogs.append({l1, l2, at, mask});
                                                  mask = dialogAnswer;
                                                  return true;
                                              }}};
    EntryRef e{image.bytes, N};

    Rig() {
        window.setObjectName(QStringLiteral("MainForm"));
        tabs->setObjectName(QStringLiteral("PageControlReaction"));
        // Wide enough that every page tab can be clicked without scrolling the bar.
        tabs->setGeometry(0, 0, 800, 200);
        ApplyLanguageTable(MainFormLanguageTable, &window, language.current);
        window.resize(800, 200);
        window.show();
    }
    // As the editor panel does: the display's own check-box calls return at once.
    void display() {
        if (guard != 0) {
            ++nestedShows;
            return;
        }
        guard = selected + 1;
        editor.Show(selected);
        guard = 0;
        ++shows;
    }
    void showKind(std::uint8_t kind) {
        e.set(entry::reactionKind, kind);
        display();
    }
    void switchLanguage(int lang) {
        language.current = lang;
        ApplyLanguageTable(MainFormLanguageTable, &window, lang);
        editor.LanguageChanged();
    }
    template <typename T = QWidget> T* w(const char* name) {
        auto* found = tabs->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void clickPage(int page) {
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }
    // Opens the list and clicks the item, as a user chooses.
    void choose(const char* box, int item) {
        auto* combo = w<QComboBox>(box);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        const QModelIndex index = view->model()->index(item, 0);
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(index).center());
        QVERIFY(!view->isVisible());
    }
    void enter(const char* edit, const QString& text) {
        auto* line = w<QLineEdit>(edit);
        line->setFocus();
        line->selectAll();
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Return);
    }
    // On the box's mark: the box is wider than its text.
    void tick(const char* box) {
        auto* b = w<QCheckBox>(box);
        QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    }
    bool enabled(const char* name) { return w(name)->isEnabled(); }
    QString text(const char* edit) { return w<QLineEdit>(edit)->text(); }
    int item(const char* box) { return w<QComboBox>(box)->currentIndex(); }
    QByteArray reactionBytes() const {
        return QByteArray(reinterpret_cast<const char*>(image.bytes.data()) + N * EntrySize + 21,
                          12);
    }
};

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform complains about every popup list; that says nothing about the pages.
void QuietPopups(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

} // namespace

void TestReactionEditor::initTestCase() {
    defaultHandler = qInstallMessageHandler(QuietPopups);
}

void TestReactionEditor::pageClickStartsTheKindAfresh() {
    Rig rig;
    QCOMPARE(rig.editor.pageCount(), 6);
    QCOMPARE(rig.tabs->tabText(3), QStringLiteral("Управление магнитолой"));
    rig.e.setName("A");
    rig.e.set(entry::eventKind, kind::EventLin);
    rig.e.set(entry::reactionCode, 9);
    rig.e.set(entry::reactionOption, 1);
    rig.showKind(kind::ReactionLin);
    QCOMPARE(rig.tabs->currentIndex(), 1);
    QVERIFY(rig.w<QCheckBox>("CheckBoxReactionLINTrigger")->isChecked());

    // The page shown so far is clicked again: nothing happens.
    rig.clickPage(1);
    QCOMPARE(rig.captureOffs, 0);
    QCOMPARE(int(rig.e.get(entry::reactionOption)), 1);

    rig.clickPage(5);
    QCOMPARE(rig.captureOffs, 1);
    QCOMPARE(rig.tabs->currentIndex(), 5);
    QByteArray expected(12, '\0');
    expected[0] = char(kind::ReactionEventControl);
    QCOMPARE(rig.reactionBytes(), expected);
    QCOMPARE(int(rig.e.get(entry::eventKind)), int(kind::EventLin));

    // Only the left button chooses a page.
    QTest::mouseClick(rig.tabs->tabBar(), Qt::RightButton, {},
                      rig.tabs->tabBar()->tabRect(2).center());
    QCOMPARE(rig.captureOffs, 1);
    QCOMPARE(int(rig.e.get(entry::reactionKind)), int(kind::ReactionEventControl));
    QCOMPARE(rig.tabs->currentIndex(), 5);
}

void TestReactionEditor::pinChoicesAndEnterOnlyDuration() {
    Rig rig;
    rig.showKind(kind::ReactionPin);
    QVERIFY(!rig.enabled("ComboBoxEventReactionPinMODE"));
    QVERIFY(!rig.enabled("EditEventReactionPinTO"));

    // Down on the focused list picks the next pin.
    auto* pins = rig.w<QComboBox>("ComboBoxEventReactionPinNUMx");
    pins->setFocus();
    QTest::keyClick(pins, Qt::Key_Down);
    QCOMPARE(int(rig.e.get(entry::reactionCode)), 1);
    QVERIFY(rig.enabled("ComboBoxEventReactionPinMODE"));
    QVERIFY(rig.enabled("EditEventReactionPinTO"));
    rig.choose("ComboBoxEventReactionPinMODE", 3);
    QCOMPARE(int(rig.e.get(entry::reactionOption)), 3);

    const int shows = rig.shows;
    rig.enter("EditEventReactionPinTO", QStringLiteral("30001"));
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes[0].flags, mb::IconError);
    QVERIFY(rig.host.boxes[0].text.contains(QLatin1String("30000")));
    QCOMPARE(int(rig.e.get(entry::pinDuration)), 0);
    QCOMPARE(rig.shows, shows);
    rig.enter("EditEventReactionPinTO", QStringLiteral("30000"));
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.image.bytes[std::size_t(N * EntrySize + 24)], 0x30);
    QCOMPARE(rig.image.bytes[std::size_t(N * EntrySize + 25)], 0x75);

    // Typing without Enter stores nothing; leaving the edit shows the stored value again.
    rig.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.window));
    auto* duration = rig.w<QLineEdit>("EditEventReactionPinTO");
    QTest::mouseClick(duration, Qt::LeftButton);
    QTest::keyClicks(duration, QStringLiteral("9"));
    QTest::keyClick(duration, Qt::Key_Tab);
    QVERIFY(!duration->hasFocus());
    QCOMPARE(duration->text(), QStringLiteral("30000"));

    rig.choose("ComboBoxEventReactionPinNUMx", 0);
    QCOMPARE(int(rig.e.get(entry::reactionCode)), 0);
    QCOMPARE(int(rig.e.get(entry::reactionOption)), 0);
    QCOMPARE(int(rig.e.get(entry::pinDuration)), 0);
    QCOMPARE(rig.item("ComboBoxEventReactionPinMODE"), 0);
    QCOMPARE(rig.text("EditEventReactionPinTO"), QStringLiteral("0"));
    QVERIFY(!rig.enabled("ComboBoxEventReactionPinMODE"));
    QVERIFY(!rig.enabled("EditEventReactionPinTO"));
}

void TestReactionEditor::boxesStoreIntoTheSelectedEntry() {
    Rig rig;
    // The display ticks the box of another entry; the box stores into that entry, and the call
    // back from its handler does not start a second display.
    rig.showKind(kind::ReactionLin);
    EntryRef other(rig.image.bytes, 40);
    other.set(entry::reactionKind, kind::ReactionLin);
    other.set(entry::reactionOption, 7);
    rig.selected = 40;
    rig.display();
    QVERIFY(rig.w<QCheckBox>("CheckBoxReactionLINTrigger")->isChecked());
    QCOMPARE(int(other.get(entry::reactionOption)), 1);
    QCOMPARE(int(rig.e.get(entry::reactionOption)), 0);
    QCOMPARE(rig.nestedShows, 1);

    rig.tick("CheckBoxReactionLINTrigger");
    QCOMPARE(int(other.get(entry::reactionOption)), 0);

    rig.selected = N;
    rig.e.set(entry::reactionCode, 3);
    rig.showKind(kind::ReactionSource);
    QVERIFY(rig.enabled("CheckBoxEventReactionSRCSave"));
    rig.tick("CheckBoxEventReactionSRCSave");
    QCOMPARE(int(rig.e.get(entry::sourceSave)), 1);

    rig.clickPage(3);
    rig.tick("CheckBoxReactionAnalogVOUT2save");
    QCOMPARE(int(rig.e.get(entry::vout2Save)), 1);
}

void TestReactionEditor::radioPageOverrideAndVoltages() {
    Rig rig;
    Set(rig.image.bytes, param::KEY_REASSIGN_TO, 500);
    Set(rig.image.bytes, param::VOUT1, 100);
    Set(rig.image.bytes, param::VOUT1minmax, 400);
    rig.clickPage(3);
    QCOMPARE(rig.text("EditReactionAnalogVOUT1"), QStringLiteral("1.00"));

    rig.enter("EditReactionAnalogTO", QStringLiteral("200"));
    QCOMPARE(int(rig.e.get(entry::voutTime)), 200);
    QCOMPARE(rig.text("EditReactionAnalogTO"), QStringLiteral("500"));
    QVERIFY(!rig.enabled("EditReactionAnalogTO"));

    // A stepping action shows the entry's own duration; its voltage is not clamped.
    rig.choose("ComboBoxReactionAnalogVOUT2type", 3);
    QCOMPARE(int(rig.e.get(entry::vout2Action)), 3);
    QCOMPARE(rig.text("EditReactionAnalogTO"), QStringLiteral("200"));
    QVERIFY(rig.enabled("EditReactionAnalogTO"));
    rig.enter("EditReactionAnalogVOUT2", QStringLiteral("0,5"));
    QCOMPARE(int(rig.e.get(entry::vout2Code)), 50);
    rig.enter("EditReactionAnalogVOUT1", QStringLiteral("4.56"));
    QCOMPARE(int(rig.e.get(entry::vout1Code)), 400);
    QCOMPARE(rig.text("EditReactionAnalogVOUT1"), QStringLiteral("4.00"));
}

void TestReactionEditor::skipButtonRunsTheDialogBelowIt() {
    Rig rig;
    rig.e.set(entry::reactionCode, ReactionSourceNext);
    rig.showKind(kind::ReactionSource);
    auto* skip = rig.w<QToolButton>("SpeedButtonEventReactionSRCSkipx");
    QCOMPARE(skip->text(), QStringLiteral("Пропустить:  нет"));
    QVERIFY(skip->isEnabled());

    rig.dialogAnswer = 0x85;
    QTest::mouseClick(skip, Qt::LeftButton);
    QCOMPARE(rig.dialogs.size(), 1);
    QCOMPARE(rig.dialogs[0].line1, QStringLiteral("Пропускать"));
    QCOMPARE(rig.dialogs[0].line2, QStringLiteral("источники:"));
    QCOMPARE(rig.dialogs[0].at, skip->mapToGlobal(QPoint(skip->width() / 2, skip->height())));
    QCOMPARE(int(rig.dialogs[0].mask), 0);
    QCOMPARE(int(rig.e.get(entry::reactionOption)), 0x85);
    QCOMPARE(skip->text(), QStringLiteral("Пропустить:  1 3 8"));

    rig.switchLanguage(LangEnglish);
    rig.dialogAnswer = 0xFF;
    QTest::mouseClick(skip, Qt::LeftButton);
    QCOMPARE(rig.dialogs[1].line1, QStringLiteral("Skip"));
    QCOMPARE(rig.dialogs[1].line2, QStringLiteral("sources:"));
    QCOMPARE(int(rig.dialogs[1].mask), 0x85);
    QCOMPARE(int(rig.e.get(entry::reactionOption)), 0xFF);

    // A chosen source cannot skip.
    rig.choose("ComboBoxEventReactionSRC", 3);
    QVERIFY(!skip->isEnabled());
    QCOMPARE(skip->text(), QStringLiteral("Skip:  no"));
}

void TestReactionEditor::languageSwitchRefillsListsAndShowRestores() {
    Rig rig;
    rig.e.set(entry::reactionOption, 7);
    rig.showKind(kind::ReactionEventControl);
    QCOMPARE(rig.w<QComboBox>("ComboBoxReactionEventHandleNumx")->count(), 61);
    QCOMPARE(rig.w<QComboBox>("ComboBoxReactionEventHandleNumx")->currentText(), "7");

    rig.switchLanguage(LangEnglish);
    const QStringList captions{"Not set", "LIN", "Pin", "Radio control", "Source", "Event manage"};
    for (int i = 0; i < 6; ++i)
        QCOMPARE(rig.tabs->tabText(i), captions[i]);
    auto* target = rig.w<QComboBox>("ComboBoxReactionEventHandleNumx");
    QCOMPARE(target->itemText(0), QStringLiteral("Power On"));
    auto* pins = rig.w<QComboBox>("ComboBoxEventReactionPinNUMx");
    QCOMPARE(pins->count(), 14);
    QCOMPARE(pins->itemText(0), QStringLiteral("Not defined"));
    QCOMPARE(rig.w("EditReactionAnalogTO")->toolTip(),
             QStringLiteral("The minimum duration of the response to the analog control output"));

    // The panel redraws after a language switch: the selections come back.
    target->setCurrentIndex(-1);
    rig.display();
    QCOMPARE(target->currentText(), QStringLiteral("7"));

    // The LIN list follows the LIN types and keeps its position; an entry's command that the
    // new list lacks shows as the first item.
    Set(rig.image.bytes, param::LIN2MODE, 1);
    rig.editor.FillLinReactionList();
    auto* lin = rig.w<QComboBox>("ComboBoxReactionLINx");
    QCOMPARE(lin->count(), ReactionLinItems(rig.image.bytes).size());
    rig.clickPage(1);
    rig.choose("ComboBoxReactionLINx", lin->count() - 1);
    const int row = rig.e.get(entry::reactionCode);
    QCOMPARE(QString(LinCommandTable[std::size_t(row)]), lin->itemText(lin->count() - 1));
    Set(rig.image.bytes, param::LIN2MODE, 0);
    rig.editor.FillLinReactionList();
    rig.display();
    QCOMPARE(lin->currentIndex(), 0);
    QCOMPARE(int(rig.e.get(entry::reactionCode)), row);
}

QTEST_MAIN(TestReactionEditor)
#include "tst_reactioneditor.moc"
