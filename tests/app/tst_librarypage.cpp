// The Library page as a user drives it: a snapshot put back on the virtual controller through
// the write question, and a file opened from the library over unsaved work.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "app/LibraryPage.h"
#include "common/EditorRig.h"
#include "common/TestFiles.h"
#include "config/ConfigFile.h"
#include "config/Snapshots.h"
#include "host/QuietHost.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

using namespace korvex;
using namespace korvex::test;

namespace {

constexpr std::uint32_t Serial = 230417;

// Clicks `pressed` on the next message box that opens, and keeps its text.
void AnswerNextBox(QObject* owner, QString& text, QMessageBox::StandardButton pressed) {
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &text, pressed] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible() || box->button(pressed) == nullptr)
            return;
        poll->stop();
        poll->deleteLater();
        text = box->text();
        QTest::mouseClick(box->button(pressed), Qt::LeftButton);
    });
    poll->start(10);
}

ConfigBytes WithX21(std::uint8_t x21) {
    ConfigBytes bytes = sim::FactoryConfiguration();
    bytes[param::X21.offset] = x21;
    return bytes;
}

ConfigBytes FileBytes(const QString& path) {
    ConfigImage image;
    QuietHost quiet;
    return LoadConfigFile(path, image, quiet) ? image.bytes : ConfigBytes{};
}

// The window with its library folder set and the Library page shown, the real boxes open.
struct LibraryRig : EditorRig {
    LibraryRig() {
        window->host().answerBox = nullptr;
        page = window->findChild<LibraryPage*>();
        auto* tabs = find<QTabWidget>("PageControlMain");
        tabs->setCurrentIndex(tabs->indexOf(page));
    }
    void save(const QString& name, const ConfigBytes& bytes) {
        ConfigImage image;
        image.bytes = bytes;
        QVERIFY(SaveConfigFile(folder.filePath(name), image, window->host(), LangEnglish).ok());
    }
    // Clicks the row of `name` in the files list.
    void clickFile(const QString& name) {
        auto* list = find<QTreeView>("LibraryFilesx");
        QModelIndex at;
        QTRY_VERIFY((at = indexOf(list, name)).isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(at).center());
        QCOMPARE(list->currentIndex().row(), at.row());
    }
    static QModelIndex indexOf(QTreeView* list, const QString& name) {
        for (int row = 0; row < list->model()->rowCount(); ++row)
            if (list->model()->index(row, 0).data() == name)
                return list->model()->index(row, 0);
        return {};
    }
    LibraryPage* page = nullptr;
    QTemporaryDir folder;
};

} // namespace

class TestLibraryPage : public QObject {
    Q_OBJECT
private slots:
    void snapshotWrittenBack();
    void openAsksAboutWork_data();
    void openAsksAboutWork();
};

void TestLibraryPage::snapshotWrittenBack() {
    LibraryRig rig;
    // Two controllers' histories; this one held X2/1 = 3 last week.
    const ConfigBytes lastWeek = WithX21(3);
    SnapshotStore store(DefaultSnapshotRoot());
    QVERIFY(!store.Save(Serial, lastWeek, rig.window->host(), LangEnglish).path.isEmpty());
    QVERIFY(!store.Save(Serial + 1, WithX21(4), rig.window->host(), LangEnglish).path.isEmpty());
    const ConfigBytes now = WithX21(1);
    rig.controller.config = now;
    rig.tick();
    QVERIFY(rig.window->core().monitor.controllerConnected);
    auto* history = rig.find<QTreeWidget>("LibraryHistoryx");
    QTRY_COMPARE(history->topLevelItemCount(), 1); // this controller's only
    QTreeWidgetItem* item = history->topLevelItem(0);
    QCOMPARE(item->text(1), QStringLiteral("1 setting differs"));
    QTest::mouseClick(history->viewport(), Qt::LeftButton, {},
                      history->visualItemRect(item).center());
    QVERIFY(rig.find<QPlainTextEdit>("LibraryPreviewx")->toPlainText().contains("X2/1"));

    // No leaves the controller and the window as they were.
    const ConfigBytes shown = rig.bytes();
    QString text;
    AnswerNextBox(rig.window.get(), text, QMessageBox::No);
    QTest::mouseClick(rig.find<QToolButton>("LibraryWritex"), Qt::LeftButton);
    QVERIFY(text.startsWith("Are you sure you want to write"));
    QCOMPARE(rig.controller.config, now);
    QCOMPARE(rig.bytes(), shown);

    AnswerNextBox(rig.window.get(), text, QMessageBox::Yes);
    QTest::mouseClick(rig.find<QToolButton>("LibraryWritex"), Qt::LeftButton);
    QVERIFY(text.contains("Changes to the controller's configuration:"));
    QCOMPARE(rig.controller.config, lastWeek); // exactly its bytes
    // What it held before is kept, newest first.
    QTRY_COMPARE(history->topLevelItemCount(), 2);
    const QString kept = history->topLevelItem(0)->data(0, Qt::UserRole).toString();
    QCOMPARE(FileBytes(kept), now);
    QCOMPARE(history->topLevelItem(1)->text(1), QStringLiteral("same as now"));
}

void TestLibraryPage::openAsksAboutWork_data() {
    QTest::addColumn<int>("answer");
    QTest::addRow("cancel") << int(QMessageBox::Cancel);
    QTest::addRow("discard") << int(QMessageBox::Discard);
    QTest::addRow("save") << int(QMessageBox::Save);
}

void TestLibraryPage::openAsksAboutWork() {
    QFETCH(int, answer);
    LibraryRig rig;
    const QString folder = rig.folder.path();
    rig.save("first.KSWA", WithX21(2));
    rig.save("second.KSWA", WithX21(5));
    WriteAll(folder + "/damaged.KSWA", "[EVENTS]\r\nEVENT1=00\r\n");
    rig.page->ChooseFolder(folder);
    // A damaged file is greyed with its reason and opens nothing.
    rig.clickFile("damaged.KSWA");
    auto* list = rig.find<QTreeView>("LibraryFilesx");
    QVERIFY(list->currentIndex().data(Qt::ForegroundRole).isValid());
    QVERIFY(list->currentIndex().data(Qt::ToolTipRole).toString().startsWith("damaged"));
    QVERIFY(!rig.find<QToolButton>("LibraryOpenx")->isEnabled());

    rig.clickFile("first.KSWA");
    QTest::keyClick(list, Qt::Key_Return); // nothing of the user's yet: no question
    const auto x21 = [&rig] { return rig.bytes()[param::X21.offset]; };
    QCOMPARE(x21(), 2);
    QTest::keyClick(rig.find<QComboBox>("ComboBoxX21x"), Qt::Key_Down);
    const ConfigBytes work = rig.bytes();
    QVERIFY(x21() != 2);

    rig.clickFile("second.KSWA");
    QString text;
    AnswerNextBox(rig.window.get(), text, QMessageBox::StandardButton(answer));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(text.startsWith("Save changes?"));
    if (answer == QMessageBox::Cancel)
        QCOMPARE(rig.bytes(), work);
    else
        QCOMPARE(x21(), 5);
    // Save goes straight to the file the work came from; the others leave it as it was.
    QCOMPARE(FileBytes(folder + "/first.KSWA"), answer == QMessageBox::Save ? work : WithX21(2));
    // Delete removes nothing from the library.
    QTest::keyClick(list, Qt::Key_Delete);
    QVERIFY(QFileInfo::exists(folder + "/second.KSWA"));
}

QTEST_MAIN(TestLibraryPage)
#include "tst_librarypage.moc"
