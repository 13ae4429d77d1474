// The overview page on the virtual controller with the sample configuration written to it: its
// rows are dump's entries, the filter, a double click that shows the entry, and an edit that
// reaches its row at the next tick.
#include "app/AppCore.h"
#include "app/OverviewPage.h"
#include "common/EditorRig.h"
#include "common/TestHost.h"
#include "config/ConfigFile.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTableView>
#include <QtTest>

using namespace korvex;
using namespace korvex::test;

class TestOverviewPage : public QObject {
    Q_OBJECT
private slots:
    void rowsFilterAndDoubleClick();
};

void TestOverviewPage::rowsFilterAndDoubleClick() {
    EditorRig rig;
    ConfigImage demo;
    TestHost host;
    QVERIFY(LoadConfigFile(QStringLiteral(KORVEX_SAMPLES_DIR "/demo.KSWA"), demo, host));
    rig.controller.config = demo.bytes;
    rig.tick();
    auto* main = rig.find<QTabWidget>("PageControlMain");
    auto* page = rig.find<OverviewPage>("TabSheetOverviewx");
    main->tabBar()->setCurrentIndex(main->indexOf(page)); // as the tab's click does
    QTest::mouseClick(main->tabBar(), Qt::LeftButton, {},
                      main->tabBar()->tabRect(main->indexOf(page)).center());
    QVERIFY(page->isVisible());
    auto* table = rig.find<QTableView>("TableOverviewx");
    const auto shown = [table] {
        QStringList captions;
        for (int r = 0; r < table->model()->rowCount(); ++r)
            captions << table->model()->index(r, 0).data().toString();
        return captions;
    };
    const QStringList all = shown();
    QCOMPARE(all, QStringList({"1* (SRC)", "2* (VOL+)", "3* (X2/1 30s)"})); // as dump lists them
    QTest::keyClicks(rig.find<QLineEdit>("EditOverviewFilterx"), "vol");
    const QStringList vol = shown();
    QVERIFY(!vol.isEmpty() && vol.size() < all.size());
    for (int r = 0; r < vol.size(); ++r) {
        QString row;
        for (int c = 0; c < 4; ++c)
            row += table->model()->index(r, c).data().toString();
        QVERIFY2(row.contains("VOL", Qt::CaseInsensitive), qPrintable(row));
    }
    // A double click on a row shows its entry on the Parameters page.
    const int entry = vol.first().section('*', 0, 0).toInt() - 1;
    const QRect cell = table->visualRect(table->model()->index(0, 2));
    // A real double click: a click, then the press that the system reports as the second.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(main->currentIndex(), 1);
    QCOMPARE(rig.strip()->currentIndex(), entry);
    // An edit of that entry reaches its row at the next tick.
    main->setCurrentIndex(main->indexOf(page));
    EntryRef(rig.bytes(), entry).set(entry::eventPress, 1);
    rig.tick();
    QVERIFY(table->model()->index(0, 2).data().toString().contains("Short"));

    // Export: a name typed without an extension becomes a PDF of the sheet.
    const QString path = rig.dir.filePath("sheet");
    rig.whenModal([&path](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog != nullptr);
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonExportx"), Qt::LeftButton);
    QVERIFY(ReadAll(path + ".pdf").startsWith("%PDF"));
}

QTEST_MAIN(TestOverviewPage)
#include "tst_overviewpage.moc"
