// The parameter pages driven as a user would: choices, Enter in edits, clicks; and what the
// refresh makes of the image.
#include "common/TestHost.h"
#include "config/ParameterPages.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

using namespace korvex;

class TestParameterPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void pagesFormsAndLanguage();
    void linTypesDriveBusControlsAndTabs();
    void rowsBeyondAListSelectNothing();
    void longPressNeverRefuses();
    void lightEntriesKeepTheirBounds();
    void refreshDefaultsAndSkipsUnchangedImage();
    void pinNibblesAndFlagBytes();
    void editsAndTabClicksReachTheEditor();
    void enterOnlyEditsShowTheImageWhenLeft_data();
    void enterOnlyEditsShowTheImageWhenLeft();
};

namespace {

class RecordingEditor final : public EditorViews {
public:
    explicit RecordingEditor(ViewState& views) : views_(views) {}
    QStringList calls;
    void BeginScreenUpdate() override { calls << "Begin"; }
    void EndScreenUpdate() override { calls << "End"; }
    void InvalidateViews() override {
        calls << "Invalidate";
        korvex::InvalidateViews(views_);
    }
    void ShowSelectedEntry() override { calls << "ShowSelectedEntry"; }
    void ApplyOnlyUsedView() override { calls << "ApplyOnlyUsedView"; }
    void FillLinReactionList() override { calls << "FillLinReactionList"; }
    void SetAutoCapture(bool on) override { calls << (on ? "AutoCapture on" : "AutoCapture off"); }

private:
    ViewState& views_;
};

struct Rig {
    QTabWidget tabs;
    ConfigImage image;
    ViewState views;
    RecordingEditor editor{views};
    test::TestHost host;
    LanguageState language;
    ParameterPages pages{&tabs, image, views, editor, host, language};

    Rig() {
        tabs.resize(720, 240);
        tabs.show();
    }
    template <typename T = QWidget> T* w(const char* name) {
        auto* found = tabs.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    std::uint8_t at(int offset) const { return image.bytes[static_cast<std::size_t>(offset)]; }
    void show(const char* page) { tabs.setCurrentWidget(w(page)); }

    // Opens the list and clicks the item, as a user chooses.
    void choose(const char* page, const char* box, int index) {
        show(page);
        auto* combo = w<QComboBox>(box);
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(index, 0)).center());
        QVERIFY(!view->isVisible());
    }
    void enter(const char* page, const char* edit, const QString& text) {
        show(page);
        auto* e = w<QLineEdit>(edit);
        e->clear();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }
    bool shown(const char* name) { return w(name)->isVisibleTo(w("TabSheetLIN")); }
};

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform complains about every popup list; that says nothing about the pages.
void QuietPopups(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

} // namespace

void TestParameterPages::initTestCase() {
    defaultHandler = qInstallMessageHandler(QuietPopups);
}

void TestParameterPages::pagesFormsAndLanguage() {
    Rig rig;
    const QStringList names{"TabSheetPINS", "TabSheetLIN", "TabSheetPULSE", "TabSheetParamControl",
                            "TabSheetLINProg"};
    const QStringList texts{"Выводы", "Шина LIN", "Источники", "Управление магнитолой",
                            "LIN Программатор"};
    QCOMPARE(rig.tabs.count(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(rig.tabs.widget(i)->objectName(), names[i]);
        QCOMPARE(rig.tabs.tabText(i), texts[i]);
    }
    QCOMPARE(rig.tabs.currentIndex(), 0);
    QCOMPARE(rig.pages.linProgPage(), rig.tabs.widget(4));
    QCOMPARE(rig.w<QLineEdit>("Edit_PAR_LongTO")->maxLength(), 6);
    QCOMPARE(rig.w<QComboBox>("ComboBoxPULSESRCNUMx")->itemText(7),
             QStringLiteral("8 (1, 2, 3, 4, 5, 6, 7, 8)"));
    QCOMPARE(rig.w<QComboBox>("ComboBoxX210x")->toolTip(),
             QStringLiteral("Исходный уровень при включении"));
    QCOMPARE(rig.w<QLabel>("LabelX25x")->text(), QStringLiteral("(X1/5 -US) X2/5"));

    rig.language.current = LangEnglish;
    rig.pages.LanguageChanged();
    auto* x21 = rig.w<QComboBox>("ComboBoxX21x");
    QCOMPARE(x21->itemText(1), QStringLiteral("Output +12V"));
    QCOMPARE(x21->currentIndex(), 0);
    QCOMPARE(x21->toolTip(), QStringLiteral("Default state on power up"));
    QCOMPARE(rig.w<QComboBox>("ComboBoxLIN2MODEx")->count(), 17);
    QCOMPARE(rig.w<QComboBox>("ComboBoxLIN_TEMP_RELAY_PINx")->itemText(0),
             QStringLiteral("Disabled"));
    QCOMPARE(rig.w("EditParamControlVOUT2minmax")->toolTip(),
             QStringLiteral("Minimum or maximum voltage at 2nd analog control output"));
    QCOMPARE(rig.w("Edit_KEY_REASSIGN_TO")->toolTip(),
             QStringLiteral("Overriding Min Duration for Control"));

    // The parameter area sits in the lower part of a 720x513 window.
    const QSize need = rig.tabs.minimumSizeHint();
    QVERIFY2(need.width() <= 720 && need.height() <= 240,
             qPrintable(QString("%1x%2").arg(need.width()).arg(need.height())));
}

void TestParameterPages::linTypesDriveBusControlsAndTabs() {
    Rig rig;
    Set(rig.image.bytes, param::LINSPEED, 1);
    rig.pages.RefreshParameterPages();
    QCOMPARE(rig.tabs.isTabVisible(4), false);

    rig.editor.calls.clear();
    rig.choose("TabSheetPINS", "ComboBoxLIN2MODEx", 4);
    QCOMPARE(Get(rig.image.bytes, param::LIN2MODE), 4);
    QCOMPARE(rig.editor.calls.value(0), QStringLiteral("Invalidate"));
    QCOMPARE(Get(rig.image.bytes, param::LINSPEED), 4);
    QCOMPARE(rig.w<QComboBox>("ComboBoxLINSPEEDx")->currentText(), QStringLiteral("19200 Bit/s"));
    QCOMPARE(rig.tabs.isTabVisible(4), false);
    QVERIFY(rig.shown("CheckBoxLIGHT_DIAG_USE"));
    QVERIFY(rig.w("PanelLINSPEED")->isEnabled());
    QVERIFY(rig.w("ComboBoxLINSPEEDx")->isEnabled());
    QVERIFY(!rig.w("ComboBoxLINPROTOCOLVERSIONx")->isEnabled());

    rig.choose("TabSheetPINS", "ComboBoxLIN2MODEx", 16);
    QCOMPARE(rig.tabs.isTabVisible(4), true);
    QVERIFY(!rig.shown("CheckBoxLIGHT_DIAG_USE"));
    QVERIFY(!rig.w("PanelLINSPEED")->isEnabled());
    QVERIFY(!rig.w("ComboBoxLINSPEEDx")->isEnabled());
    QVERIFY(!rig.w("ComboBoxLINPROTOCOLVERSIONx")->isEnabled());

    rig.choose("TabSheetPINS", "ComboBoxLIN1MODEx", 1);
    QVERIFY(rig.w("ComboBoxLINSPEEDx")->isEnabled());
    QVERIFY(rig.w("ComboBoxLINPROTOCOLVERSIONx")->isEnabled());
    rig.choose("TabSheetPINS", "ComboBoxLIN1MODEx", 2);
    rig.choose("TabSheetPINS", "ComboBoxLIN2MODEx", 5);
    QCOMPARE(rig.tabs.isTabVisible(4), false);
    QVERIFY(!rig.w("ComboBoxLINSPEEDx")->isEnabled());
    QVERIFY(!rig.w("ComboBoxLINPROTOCOLVERSIONx")->isEnabled());
    QCOMPARE(Get(rig.image.bytes, param::LINSPEED), 4); // left as "VW" set it
}

void TestParameterPages::rowsBeyondAListSelectNothing() {
    Rig rig;
    Set(rig.image.bytes, param::LIN1MODE, 5);
    Set(rig.image.bytes, param::X27, 15);
    Set(rig.image.bytes, param::LINTYPE, 9);
    rig.pages.RefreshParameterPages();
    auto* slave = rig.w<QComboBox>("ComboBoxLINTYPESLAVEx");
    QCOMPARE(slave->count(), 8);
    QCOMPARE(slave->toolTip(), QStringLiteral("Настройка типа Lin Slave"));
    QCOMPARE(rig.w<QComboBox>("ComboBoxX27x")->currentIndex(), -1);
    QCOMPARE(rig.w<QComboBox>("ComboBoxLINTYPE")->currentIndex(), -1);

    rig.choose("TabSheetLIN", "ComboBoxLINTYPESLAVEx", 7);
    QCOMPARE(Get(rig.image.bytes, param::LINTYPESLAVE), 7);
    rig.choose("TabSheetPINS", "ComboBoxLIN1MODEx", 3);
    QCOMPARE(slave->count(), 6);
    QCOMPARE(slave->currentIndex(), -1);
    QCOMPARE(Get(rig.image.bytes, param::LINTYPESLAVE), 7);
    rig.choose("TabSheetPINS", "ComboBoxLIN1MODEx", 5);
    QCOMPARE(slave->currentText(), QStringLiteral("Кодировка 7 VW T6"));
}

void TestParameterPages::longPressNeverRefuses() {
    Rig rig;
    rig.pages.RefreshParameterPages();
    rig.editor.calls.clear();
    auto* edit = rig.w<QLineEdit>("Edit_PAR_LongTO");
    rig.enter("TabSheetLIN", "Edit_PAR_LongTO", "70000");
    QCOMPARE(edit->text(), QStringLiteral("4464"));
    QCOMPARE(Get(rig.image.bytes, param::PAR_LongTO), 4464);
    for (const char* text : {"100", "6000", "-5", "1234567"}) {
        Set(rig.image.bytes, param::PAR_LongTO, 0);
        rig.enter("TabSheetLIN", "Edit_PAR_LongTO", text);
        QCOMPARE(Get(rig.image.bytes, param::PAR_LongTO), 1000);
        QCOMPARE(edit->text(), QStringLiteral("1000"));
    }
    QVERIFY(rig.editor.calls.isEmpty()); // no refresh
    QVERIFY(rig.host.boxes.isEmpty());
}

void TestParameterPages::lightEntriesKeepTheirBounds() {
    Rig rig;
    Set(rig.image.bytes, param::LIN2MODE, 4);
    Set(rig.image.bytes, param::LIGHT_DIAG_USE, 1);
    Set(rig.image.bytes, param::Light_Day, 80);
    Set(rig.image.bytes, param::Light_Min, 10);
    Set(rig.image.bytes, param::Light_Max, 50);
    rig.pages.RefreshParameterPages();
    QVERIFY(rig.shown("Edit_Light_Min") && rig.shown("Label_Light_Max2"));
    auto* min = rig.w<QLineEdit>("Edit_Light_Min");
    QCOMPARE(min->text(), QStringLiteral("10"));

    rig.enter("TabSheetLIN", "Edit_Light_Min", "60");
    QCOMPARE(rig.host.boxes.size(), 1);
    QCOMPARE(rig.host.boxes[0].flags, mb::IconError);
    QCOMPARE(rig.host.boxes[0].text,
             QStringLiteral("Значение должно находится в интервале от 0 до 50"));
    QCOMPARE(Get(rig.image.bytes, param::Light_Min), 10);
    QCOMPARE(min->text(), QStringLiteral("10"));
    QCOMPARE(min->selectedText(), QStringLiteral("10"));

    rig.enter("TabSheetLIN", "Edit_Light_Max", "5");
    QCOMPARE(rig.host.boxes.value(1).text,
             QStringLiteral("Значение должно находится в интервале от 10 до 100"));
    rig.enter("TabSheetLIN", "Edit_Light_Min", "50");
    rig.enter("TabSheetLIN", "Edit_Light_Day", "+7");
    QCOMPARE(rig.host.boxes.value(2).text, QStringLiteral("Введите значение в указанную позицию"));
    QCOMPARE(rig.host.boxes.size(), 3);
    QCOMPARE(Get(rig.image.bytes, param::Light_Min), 50);
    QCOMPARE(Get(rig.image.bytes, param::Light_Day), 80);
}

void TestParameterPages::refreshDefaultsAndSkipsUnchangedImage() {
    Rig rig;
    Set(rig.image.bytes, param::LIN2MODE, 4);
    Set(rig.image.bytes, param::LIGHT_DIAG_USE, 1);
    rig.pages.RefreshParameterPages();
    QCOMPARE(rig.at(2012), 100);
    QCOMPARE(rig.at(2013), 5);
    QCOMPARE(rig.at(2014), 50);
    QCOMPARE(rig.w<QLineEdit>("Edit_Light_Day")->text(), QStringLiteral("100"));
    QCOMPARE(rig.w<QLineEdit>("Edit_Light_Min")->text(), QStringLiteral("5"));
    QCOMPARE(rig.w<QLineEdit>("Edit_Light_Max")->text(), QStringLiteral("50"));
    QCOMPARE(rig.host.monitorSuspend, 0);
    QCOMPARE(rig.host.maxMonitorSuspend, 1);

    // The defaults changed the image, so this refresh still redraws; the next one does not.
    rig.pages.RefreshParameterPages();
    rig.w<QLineEdit>("Edit_PAR_LongTO")->setText("stale");
    rig.w<QComboBox>("ComboBoxX21x")->setCurrentIndex(1);
    rig.host.maxMonitorSuspend = 0;
    rig.editor.calls.clear();
    rig.pages.RefreshParameterPages();
    QCOMPARE(rig.editor.calls,
             QStringList({"Begin", "ApplyOnlyUsedView", "ShowSelectedEntry", "End"}));
    QCOMPARE(rig.host.maxMonitorSuspend, 0);
    QCOMPARE(rig.w<QLineEdit>("Edit_PAR_LongTO")->text(), QStringLiteral("stale"));
    QCOMPARE(rig.w<QComboBox>("ComboBoxX21x")->currentIndex(), 1);

    rig.editor.InvalidateViews();
    rig.editor.calls.clear();
    rig.pages.RefreshParameterPages();
    QCOMPARE(rig.editor.calls, QStringList({"Begin", "FillLinReactionList", "ApplyOnlyUsedView",
                                            "ShowSelectedEntry", "End"}));
    QCOMPARE(rig.w<QLineEdit>("Edit_PAR_LongTO")->text(), QStringLiteral("0"));
    QCOMPARE(rig.w<QComboBox>("ComboBoxX21x")->currentIndex(), 0);

    // Other LIN types hide the backlight, yet the defaults still apply.
    Rig other;
    other.pages.RefreshParameterPages();
    QCOMPARE(other.at(2012), 100);
    QVERIFY(!other.shown("CheckBoxLIGHT_DIAG_USE") && !other.shown("Edit_Light_Day"));
}

void TestParameterPages::pinNibblesAndFlagBytes() {
    Rig rig;
    rig.image.bytes[1986] = 0x01; // X27 = 1, X29 = 0
    rig.image.bytes[1987] = 0x10; // X28 = 0, X210 = 1
    Set(rig.image.bytes, param::SWAP_VOLDN_OK, 2);
    Set(rig.image.bytes, param::HEAT_VAR_ENABLE, 1);
    rig.pages.RefreshParameterPages();
    QCOMPARE(rig.at(1992), 1); // 2 became 1 when its box turned checked
    QVERIFY(rig.w<QCheckBox>("CheckBoxLINSWAP_VOLDN_OK")->isChecked());

    rig.choose("TabSheetPINS", "ComboBoxX29x", 1);
    QCOMPARE(rig.at(1986), 0x11);
    rig.choose("TabSheetPINS", "ComboBoxX27x", 0);
    QCOMPARE(rig.at(1986), 0x10);
    rig.choose("TabSheetPINS", "ComboBoxX28x", 1);
    QCOMPARE(rig.at(1987), 0x11);
    rig.choose("TabSheetPINS", "ComboBoxX21x", 1);
    QCOMPARE(rig.at(1980), 1);

    // A box already checked is not set again, so its odd byte stays.
    Set(rig.image.bytes, param::HEAT_VAR_ENABLE, 3);
    rig.editor.InvalidateViews();
    rig.pages.RefreshParameterPages();
    QCOMPARE(rig.at(1995), 3);

    rig.show("TabSheetLIN");
    rig.editor.calls.clear();
    auto* heat = rig.w<QCheckBox>("CheckBoxLIN_HEAT_VAR_ENABLE");
    QTest::mouseClick(heat, Qt::LeftButton, {}, QPoint(8, heat->height() / 2));
    QCOMPARE(rig.at(1995), 0);
    QVERIFY(rig.editor.calls.contains("ShowSelectedEntry"));
    QTest::mouseClick(heat, Qt::LeftButton, {}, QPoint(8, heat->height() / 2));
    QCOMPARE(rig.at(1995), 1);
}

void TestParameterPages::editsAndTabClicksReachTheEditor() {
    Rig rig;
    rig.pages.RefreshParameterPages();
    rig.editor.calls.clear();
    rig.tabs.setCurrentIndex(2);
    QVERIFY(rig.editor.calls.isEmpty());
    QTabBar* bar = rig.tabs.tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QCOMPARE(rig.editor.calls, QStringList({"AutoCapture off"}));

    rig.editor.calls.clear();
    rig.enter("TabSheetParamControl", "Edit_KEY_REASSIGN_TO", "10001");
    QCOMPARE(rig.host.boxes.value(0).text,
             QStringLiteral("Значение должно находится в интервале от 0 до 10000"));
    QVERIFY(rig.editor.calls.isEmpty());
    rig.enter("TabSheetParamControl", "Edit_KEY_REASSIGN_TO", "10000");
    QCOMPARE(Get(rig.image.bytes, param::KEY_REASSIGN_TO), 10000);
    QCOMPARE(rig.editor.calls.first(), QStringLiteral("Invalidate"));
    QCOMPARE(rig.editor.calls.count("ShowSelectedEntry"), 2);
    QCOMPARE(rig.editor.calls.last(), QStringLiteral("ShowSelectedEntry"));

    rig.enter("TabSheetParamControl", "EditParamControlVOUT1", "2,5");
    QCOMPARE(Get(rig.image.bytes, param::VOUT1), 250);
    QCOMPARE(rig.w<QLineEdit>("EditParamControlVOUT1")->text(), QStringLiteral("2.50"));
    rig.enter("TabSheetParamControl", "EditParamControlVOUT2minmax", "7");
    QCOMPARE(Get(rig.image.bytes, param::VOUT2minmax), 500);
    QCOMPARE(rig.w<QLineEdit>("EditParamControlVOUT2minmax")->text(), QStringLiteral("5.00"));
    QCOMPARE(rig.host.boxes.size(), 1);
}

void TestParameterPages::enterOnlyEditsShowTheImageWhenLeft_data() {
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("entered");
    // Each field holds 50 before the test types into it.
    QTest::newRow("long press") << QByteArray("TabSheetLIN") << QByteArray("Edit_PAR_LongTO")
                                << param::PAR_LongTO.offset << "50"
                                << "2000" << 2000;
    QTest::newRow("light day") << QByteArray("TabSheetLIN") << QByteArray("Edit_Light_Day")
                               << param::Light_Day.offset << "50"
                               << "20" << 20;
    QTest::newRow("light min") << QByteArray("TabSheetLIN") << QByteArray("Edit_Light_Min")
                               << param::Light_Min.offset << "50"
                               << "20" << 20;
    QTest::newRow("light max") << QByteArray("TabSheetLIN") << QByteArray("Edit_Light_Max")
                               << param::Light_Max.offset << "50"
                               << "90" << 90;
    for (const auto& [name, offset] :
         {std::pair{"EditParamControlVOUT1", param::VOUT1.offset},
          std::pair{"EditParamControlVOUT2", param::VOUT2.offset},
          std::pair{"EditParamControlVOUT1minmax", param::VOUT1minmax.offset},
          std::pair{"EditParamControlVOUT2minmax", param::VOUT2minmax.offset}})
        QTest::newRow(name) << QByteArray("TabSheetParamControl") << QByteArray(name) << offset
                            << "0.50"
                            << "3" << 300;
    QTest::newRow("key reassign") << QByteArray("TabSheetParamControl")
                                  << QByteArray("Edit_KEY_REASSIGN_TO")
                                  << param::KEY_REASSIGN_TO.offset << "50"
                                  << "700" << 700;
}

void TestParameterPages::enterOnlyEditsShowTheImageWhenLeft() {
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, edit);
    QFETCH(int, offset);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(int, entered);
    Rig rig;
    rig.tabs.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&rig.tabs));
    Set(rig.image.bytes, param::LIN2MODE, 4); // the light edits are shown
    Set(rig.image.bytes, param::LIGHT_DIAG_USE, 1);
    Set(rig.image.bytes, param::Light_Day, 50);
    Set(rig.image.bytes, param::Light_Min, 50);
    Set(rig.image.bytes, param::Light_Max, 50);
    for (U16Field field : {param::PAR_LongTO, param::VOUT1, param::VOUT2, param::VOUT1minmax,
                           param::VOUT2minmax, param::KEY_REASSIGN_TO})
        Set(rig.image.bytes, field, 50);
    rig.pages.RefreshParameterPages();
    const ConfigBytes before = rig.image.bytes;
    rig.show(page.constData());
    auto* e = rig.w<QLineEdit>(edit.constData());
    QCOMPARE(e->text(), shown);

    const auto typeInto = [&] {
        QTest::mouseClick(e, Qt::LeftButton);
        QVERIFY(e->hasFocus());
        QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(e, typed);
        QCOMPARE(e->text(), typed);
    };
    // Left with Tab, then with a click into another edit of the page.
    typeInto();
    QTest::keyClick(e, Qt::Key_Tab);
    QVERIFY(!e->hasFocus());
    QCOMPARE(e->text(), shown);
    QVERIFY(rig.image.bytes == before);
    typeInto();
    auto* other =
        rig.w<QLineEdit>(page == "TabSheetLIN" ? "Edit_PAR_LongTO" : "EditParamControlVOUT1");
    if (other == e)
        other =
            rig.w<QLineEdit>(page == "TabSheetLIN" ? "Edit_Light_Day" : "EditParamControlVOUT2");
    QTest::mouseClick(other, Qt::LeftButton);
    QVERIFY(other->hasFocus());
    QCOMPARE(e->text(), shown);
    QVERIFY(rig.image.bytes == before);

    // Enter stores what was typed.
    typeInto();
    QTest::keyClick(e, Qt::Key_Return);
    const auto at = static_cast<std::size_t>(offset);
    const int width = page == "TabSheetLIN" && edit != "Edit_PAR_LongTO" ? 1 : 2;
    const int stored =
        width == 1 ? rig.image.bytes[at] : rig.image.bytes[at] | rig.image.bytes[at + 1] << 8;
    QCOMPARE(stored, entered);
    QVERIFY(rig.host.boxes.isEmpty());
}

QTEST_MAIN(TestParameterPages)
#include "tst_parameterpages.moc"
