// The main window's language table, its look-up and its application to widgets.
#include "text/ApplyLanguageTable.h"
#include "text/LanguageTable.h"
#include "text/TextPair.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace korvex;

namespace {

// A control that owns its texts: a subclass is never matched by the table.
class OwnLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
};

QString Text(const char* key, int language) {
    const LanguageRow* row = LookupLanguageKey(QString::fromLatin1(key), MainFormLanguageTable);
    return row != nullptr ? LanguageRowText(*row, language) : QStringLiteral("<missing>");
}

} // namespace

class TestLanguageTable : public QObject {
    Q_OBJECT
private slots:
    void mainTable();
    void lookup();
    void applyToWidgets();
};

void TestLanguageTable::mainTable() {
    const auto table = MainFormLanguageTable;
    QCOMPARE(table.size(), std::size_t(93));
    QCOMPARE(QByteArray(table.back().key), QByteArray());
    int captions = 0, hints = 0;
    QSet<QByteArray> keys;
    for (std::size_t i = 0; i + 1 < table.size(); ++i) {
        const QByteArray key(table[i].key);
        QVERIFY2(key.startsWith("MainForm_"), key.constData());
        QVERIFY2(!keys.contains(key), key.constData());
        keys.insert(key);
        captions += key.endsWith("_Caption");
        hints += key.endsWith("_Hint");
        // Both halves present, and a list has as many lines in English as in Russian.
        QVERIFY2(table[i].ru[0] != '\0' && table[i].en[0] != '\0', key.constData());
        QCOMPARE(QByteArray(table[i].ru).count("\r\n"), QByteArray(table[i].en).count("\r\n"));
        // Every key is found, by itself and not by an earlier row.
        QCOMPARE(LookupLanguageKey(QString::fromLatin1(key), table), &table[i]);
    }
    QCOMPARE(captions, 79);
    QCOMPARE(hints, 13);
    QCOMPARE(QByteArray(table.front().key), QByteArray("MainForm_SpeedButtonUpdateDevice_Hint"));
    QCOMPARE(QByteArray(table[91].key), QByteArray("MainForm_MenuItemWriteNow_Caption"));

    // The item lists fix the stored values: their lengths and the odd spellings are binding.
    const QList<QPair<const char*, int>> lists = {
        {"MainForm_ComboBoxLINTYPE_Caption", 5},
        {"MainForm_ComboBoxLINDevType_Caption", 2},
        {"MainForm_ComboBoxLINDevTType_Caption", 2},
        {"MainForm_ComboBoxEventReactionPinMODE_Caption", 4},
        {"MainForm_ComboBoxReactionAnalogVOUT1type_Caption", 6},
        {"MainForm_ComboBoxReactionAnalogVOUT2type_Caption", 6},
        {"MainForm_ComboBoxEventReactionSRC_Caption", 11},
        {"MainForm_ComboBoxReactionEventHandleType_Caption", 3},
        {"MainForm_ComboBoxEventEvent_Caption", 4},
        {"MainForm_ComboBoxEventSRCMASK_Caption", 2},
    };
    for (const auto& [key, count] : lists) {
        QCOMPARE(LanguageTableItems(key, LangRussian).size(), count);
        QCOMPARE(LanguageTableItems(key, LangEnglish).size(), count);
    }
    QCOMPARE(LanguageTableItems("MainForm_ComboBoxEventEvent_Caption", LangRussian),
             (QStringList{"Отключено", "Короткое", "Длиное", "Любое"}));
    QCOMPARE(LanguageTableItems("MainForm_ComboBoxEventReactionSRC_Caption", LangEnglish).last(),
             QStringLiteral("restore"));
    QCOMPARE(LanguageTableItems("MainForm_NoSuchControl_Caption", LangEnglish), QStringList());
    QCOMPARE(Text("MainForm_ParamControlVOUTxminmax__Caption", LangEnglish),
             QStringLiteral("Minumum/maximum"));
    QCOMPARE(Text("MainForm_GroupBoxReaction_Caption", LangEnglish), QStringLiteral(" Response "));
    QCOMPARE(Text("MainForm_PanelMenu_Hint", LangRussian),
             QStringLiteral("Выберите параметры в меню, после нажатия правой кнопки мыши"));
}

void TestLanguageTable::lookup() {
    const LanguageRow table[] = {
        {"MainForm_ComboBoxX21x_Caption", "а", "a"},
        {"MainForm_PanelParamControlVOUT1Vminmax__Caption", "В", "V"},
        {"MainForm_Same_Caption", "первый", "first"},
        {"MainForm_Same_Caption", "второй", "second"},
        {"", "", ""},
        {"MainForm_AfterEnd_Caption", "г", "d"},
    };
    // A control named with a trailing "x" never matches, even with a row of its own.
    QCOMPARE(LookupLanguageKey(u"MainForm_ComboBoxX21x_Caption", table), nullptr);
    QCOMPARE(LookupLanguageKey(u"MainForm_PanelParamControlVOUT1Vminmax__Caption", table),
             &table[1]);
    QCOMPARE(LookupLanguageKey(u"MainForm_Same_Caption", table), &table[2]);
    QCOMPARE(LookupLanguageKey(u"mainform_Same_Caption", table), nullptr);
    QCOMPARE(LookupLanguageKey(u"MainForm_Same", table), nullptr);
    QCOMPARE(LookupLanguageKey(u"MainForm_AfterEnd_Caption", table), nullptr);

    // An empty English text shows the Russian one in English too.
    const LanguageRow russianOnly{"k", "Только", ""};
    QCOMPARE(LanguageRowText(russianOnly, LangEnglish), QStringLiteral("Только"));
}

void TestLanguageTable::applyToWidgets() {
    QWidget window;
    window.setObjectName(QStringLiteral("MainForm"));
    window.setWindowTitle(QStringLiteral("title"));
    auto* group = new QGroupBox(QStringLiteral("g"), &window);
    group->setObjectName(QStringLiteral("GroupBoxEvent"));
    auto* panelMenu = new QLabel(QStringLiteral("notice"), group);
    panelMenu->setObjectName(QStringLiteral("PanelMenu"));
    auto* press = new QLabel(group);
    press->setObjectName(QStringLiteral("PanelEventPress"));
    auto* own = new OwnLabel(QStringLiteral("own"), group);
    own->setObjectName(QStringLiteral("PanelLINTYPE"));
    auto* read = new QToolButton(&window);
    read->setObjectName(QStringLiteral("SpeedButtonReadDevice"));
    read->setText(QStringLiteral("R"));
    auto* combo = new QComboBox(group);
    combo->setObjectName(QStringLiteral("ComboBoxEventEvent"));
    combo->addItems({"0", "1", "2", "3"});
    combo->setCurrentIndex(2);
    auto* pins = new QComboBox(&window);
    pins->setObjectName(QStringLiteral("ComboBoxX21x"));
    pins->addItems({"Обесточен", "Выход +12В"});
    auto* once = new QCheckBox(group);
    once->setObjectName(QStringLiteral("CheckBoxEventOnce"));
    once->setChecked(true);
    auto* debug = new QAction(QStringLiteral("d"), &window);
    debug->setObjectName(QStringLiteral("MenuItemDebug"));
    auto* pages = new QTabWidget(&window);
    for (const char* name : {"TabSheetPINS", "TabSheetLIN", "TabSheetPULSE"}) {
        auto* page = new QWidget;
        page->setObjectName(QLatin1String(name));
        pages->addTab(page, QStringLiteral("?"));
    }
    pages->setCurrentIndex(1);
    auto* strip = new QTabBar(&window);
    strip->setObjectName(QStringLiteral("Strip"));
    for (int i = 0; i < 3; ++i)
        strip->addTab(QString::number(i));
    strip->setCurrentIndex(2);
    auto* sources = new QListWidget(&window);
    sources->setObjectName(QStringLiteral("Sources"));
    for (int i = 0; i < 3; ++i) {
        auto* item = new QListWidgetItem(QString::number(i), sources);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(i == 1 ? Qt::Unchecked : Qt::Checked);
    }

    int handlers = 0;
    const auto count = [&handlers] { ++handlers; };
    connect(combo, &QComboBox::currentIndexChanged, this, count);
    connect(pins, &QComboBox::currentIndexChanged, this, count);
    connect(once, &QCheckBox::toggled, this, count);
    connect(pages, &QTabWidget::currentChanged, this, count);
    connect(strip, &QTabBar::currentChanged, this, count);

    // Rows for controls the main window's table does not hold.
    const LanguageRow extra[] = {
        {"MainForm_Caption", "Окно", "Window"},
        {"MainForm_Strip_Caption", "Один\r\nДва\r\nТри\r\n", "One\r\nTwo\r\nThree\r\n"},
        {"MainForm_Sources_Caption", "и1\r\nи2\r\nи3\r\nи4\r\n", ""},
        {"MainForm_ComboBoxX21x_Caption", "а\r\nб\r\n", "a\r\nb\r\n"},
        {"", "", ""},
    };
    const auto apply = [&](int language) {
        ApplyLanguageTable(MainFormLanguageTable, &window, language);
        ApplyLanguageTable(extra, &window, language);
    };

    apply(LangEnglish);
    QCOMPARE(window.windowTitle(), QStringLiteral("Window"));
    QCOMPARE(group->title(), QStringLiteral(" Event "));
    QCOMPARE(panelMenu->text(), QStringLiteral("notice")); // a hint row only
    QCOMPARE(panelMenu->toolTip(),
             QStringLiteral("Select Options from the menu after clicking the right mouse button"));
    QCOMPARE(press->text(), QStringLiteral("Press"));
    QCOMPARE(own->text(), QStringLiteral("own"));
    QCOMPARE(read->text(), QStringLiteral("R"));
    QCOMPARE(read->toolTip(), QStringLiteral("Read configuration from the device"));
    QCOMPARE(combo->itemText(3), QStringLiteral("Any"));
    QCOMPARE(combo->currentIndex(), 2);
    QCOMPARE(pins->itemText(1), QStringLiteral("Выход +12В"));
    QCOMPARE(once->text(), QStringLiteral("One time only"));
    QCOMPARE(once->toolTip(), QStringLiteral("Only a single response"));
    QVERIFY(once->isChecked());
    QCOMPARE(debug->text(), QStringLiteral("Debug"));
    QCOMPARE(pages->tabText(0), QStringLiteral("Pins"));
    QCOMPARE(pages->tabText(2), QStringLiteral("Sources"));
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(strip->tabText(1), QStringLiteral("Two"));
    QCOMPARE(strip->currentIndex(), 2);
    QCOMPARE(sources->count(), 4);
    QCOMPARE(sources->item(3)->text(), QStringLiteral("и4"));
    QCOMPARE(sources->item(0)->checkState(), Qt::Checked);
    QCOMPARE(sources->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(sources->item(2)->checkState(), Qt::Checked);
    QVERIFY(sources->item(3)->flags() & Qt::ItemIsUserCheckable);

    once->setChecked(false);
    handlers = 0;
    apply(LangRussian);
    QCOMPARE(handlers, 0);
    QCOMPARE(window.windowTitle(), QStringLiteral("Окно"));
    QCOMPARE(group->title(), QStringLiteral(" Событие "));
    QCOMPARE(combo->itemText(2), QStringLiteral("Длиное"));
    QCOMPARE(combo->currentIndex(), 2);
    QVERIFY(!once->isChecked());
    QCOMPARE(debug->text(), QStringLiteral("Отладка"));
    QCOMPARE(pages->tabText(1), QStringLiteral("Шина LIN"));
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(strip->tabText(0), QStringLiteral("Один"));
    QCOMPARE(strip->currentIndex(), 2);
    QCOMPARE(sources->item(2)->checkState(), Qt::Checked);
    QCOMPARE(own->text(), QStringLiteral("own"));
}

QTEST_MAIN(TestLanguageTable)
#include "tst_languagetable.moc"
