// The LIN Prog page driven as a user would: what the buttons, the combo boxes, the hex edit and
// the memo show, and that showing the block never runs the combo boxes' handlers.
#include "common/SimRig.h"
#include "lin/LinProgPage.h"
#include "text/ApplyLanguageTable.h"
#include "text/LanguageTable.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace korvex;

namespace {

QtMessageHandler defaultHandler = nullptr;

// The offscreen platform complains about every popup list; that says nothing about the page.
void QuietPopups(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        defaultHandler(type, context, message);
}

template <typename T> T* Find(QWidget& root, const char* name) {
    auto* found = root.findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("no control %s", name);
    return found;
}

} // namespace

class TestLinProgPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { defaultHandler = qInstallMessageHandler(QuietPopups); }
    void pageShowsAndForwards();
};

void TestLinProgPage::pageShowsAndForwards() {
    test::SimRig sim;
    sim.language.current = LangRussian;
    QVERIFY(sim.connect());
    QWidget window;
    window.setObjectName(QStringLiteral("MainForm"));
    auto* tabs = new QTabWidget(&window);
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("TabSheetLINProg"));
    tabs->addTab(sheet, QStringLiteral("LIN Программатор"));
    LinProgPage page(sheet, sim.link, sim.host, sim.language, [] { return QString(); }, {});
    window.resize(700, 300);
    tabs->resize(700, 300);
    window.show();
    auto* side = Find<QComboBox>(window, "ComboBoxLINDevType");
    auto* turnOff = Find<QComboBox>(window, "ComboBoxLINDevTType");
    auto* edit = Find<QLineEdit>(window, "EditLINDevParam");
    auto* memo = Find<QPlainTextEdit>(window, "MemoLIN");
    auto* read = Find<QToolButton>(window, "SpeedButtonReadLIN");
    QCOMPARE(read->toolTip(), QStringLiteral("Прочитать устройство"));
    QCOMPARE(side->itemText(1), QStringLiteral("Правый фонарь"));
    const auto choose = [](QComboBox* combo, int index) {
        combo->showPopup();
        QAbstractItemView* view = combo->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(index, 0)).center());
    };

    // Before a read the hex edit is taken and shown in both boxes without running their
    // handlers, which would refuse it; a user's choice is refused and put back.
    QTest::keyClicks(edit, QStringLiteral("03 00 00 00 00 7"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(sim.host.boxes.size(), 1);
    QCOMPARE(sim.host.boxes.last().text, QStringLiteral("Ошибка в длине параметров"));
    QTest::keyClicks(edit, QStringLiteral("0"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(sim.host.boxes.size(), 1);
    QCOMPARE(side->currentIndex(), 1);
    QCOMPARE(turnOff->currentIndex(), 1);
    QCOMPARE(edit->text(), QStringLiteral("03 00 00 00 00 70"));
    choose(side, 0);
    QCOMPARE(sim.host.boxes.size(), 2);
    QCOMPARE(sim.host.boxes.last().text,
             QStringLiteral("Конфигурация устройства еще не считана по шине LIN"));
    QCOMPARE(side->currentIndex(), 1);

    // The read shows the lamp's block; the user's choice changes its bit only.
    QTest::mouseClick(read, Qt::LeftButton);
    QCOMPARE(memo->toPlainText().split('\n').first(), QStringLiteral("Прочитано успешно"));
    QCOMPARE(edit->text(), QStringLiteral("01 00 64 0A 00 00"));
    QCOMPARE(side->currentIndex(), 1);
    QCOMPARE(turnOff->currentIndex(), 0);
    choose(turnOff, 1);
    QCOMPARE(edit->text(), QStringLiteral("03 00 64 0A 00 00"));
    choose(side, 0);
    QCOMPARE(edit->text(), QStringLiteral("02 00 64 0A 00 00"));
    QCOMPARE(sim.host.boxes.size(), 2);

    // The language table reaches the page's controls by name and keeps the selections.
    ApplyLanguageTable(MainFormLanguageTable, &window, LangEnglish);
    QCOMPARE(side->itemText(0), QStringLiteral("LEFT LAMP"));
    QCOMPARE(turnOff->itemText(1), QStringLiteral("Off Immediately"));
    QCOMPARE(turnOff->currentIndex(), 1);
    QCOMPARE(read->toolTip(), QStringLiteral("Read device"));

    QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
    QVERIFY(memo->toPlainText().isEmpty());
    QVERIFY(page.programmer().state().memo.isEmpty());
}

QTEST_MAIN(TestLinProgPage)
#include "tst_linprogpage.moc"
