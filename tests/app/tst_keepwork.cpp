// The window never drops the user's work and no device action surprises: the question before
// work that exists only in the window is dropped, nothing sent behind a whole write, a close on
// SIGTERM, a toolbar that stays put, and a name for every control.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "app/UndoBar.h"
#include "common/EditorRig.h"
#include "config/ConfigFile.h"
#include "config/ConfigHistory.h"
#include "host/QuitSignals.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

using namespace korvex;
using namespace korvex::test;

namespace {

const QString Samples = QStringLiteral(KORVEX_SAMPLES_DIR);

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

// File dialogs: a save goes to `savePath`, an open takes `openPath` (none: cancelled).
void AnswerDialogs(EditorRig& rig, const QString& savePath, const QString& openPath,
                   QStringList& seen) {
    rig.window->files().onShown = [&seen, savePath, openPath](QFileDialog& dialog) {
        const bool save = dialog.acceptMode() == QFileDialog::AcceptSave;
        seen << (save ? "save" : "open");
        const QString path = save ? savePath : openPath;
        if (!path.isEmpty()) {
            // Whole, with its drive on Windows: the dialog takes no "/work/..." there.
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
            static_cast<QDialog&>(dialog).accept();
        }
        if (dialog.isVisible())
            dialog.reject();
    };
}

// The controls a screen reader finds without a name, walking what is shown.
void Nameless(QAccessibleInterface* at, QStringList& found, int& seen) {
    if (at == nullptr || at->state().invisible)
        return;
    static const QList<QAccessible::Role> controls{
        QAccessible::PushButton,   QAccessible::ButtonMenu,  QAccessible::ButtonDropDown,
        QAccessible::CheckBox,     QAccessible::RadioButton, QAccessible::ComboBox,
        QAccessible::EditableText, QAccessible::SpinBox,     QAccessible::PageTabList};
    seen += controls.contains(at->role());
    if (controls.contains(at->role()) && at->text(QAccessible::Name).trimmed().isEmpty())
        found << (at->object() ? at->object()->objectName() : QString()) + "/" +
                     QString::number(at->role());
    for (int i = 0; i < at->childCount(); ++i)
        Nameless(at->child(i), found, seen);
}

} // namespace

class TestKeepWork : public QObject {
    Q_OBJECT
private slots:
    void askedBeforeWorkIsDropped_data();
    void askedBeforeWorkIsDropped();
    void nothingSentBehindWholeWrite();
    void signalClosesBetweenFrames();
    void droppedFirmwareAskedAndRun();
    void toolbarStaysPut();
    void everyControlNamed();
};

void TestKeepWork::askedBeforeWorkIsDropped_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("changes");
    QTest::addColumn<int>("answer");
    for (const char* action : {"close", "read", "firmware", "language"}) {
        QTest::addRow("%s, no changes", action) << action << false << int(QMessageBox::NoButton);
        for (const auto& [name, answer] :
             {std::pair{"save", QMessageBox::Save}, std::pair{"discard", QMessageBox::Discard},
              std::pair{"cancel", QMessageBox::Cancel}})
            QTest::addRow("%s, changes, %s", action, name) << action << true << int(answer);
    }
}

void TestKeepWork::askedBeforeWorkIsDropped() {
    QFETCH(QString, action);
    QFETCH(bool, changes);
    QFETCH(int, answer);
    EditorRig rig;
    rig.window->host().answerBox = nullptr; // the real boxes
    rig.tick();
    QVERIFY(rig.window->core().monitor.controllerConnected);
    // A file kept in the window, not sent: then an edit of it exists nowhere else.
    QStringList dialogs;
    const QString saved = rig.dir.filePath("saved.KSWA");
    AnswerDialogs(rig, saved, Samples + "/demo.KSWA", dialogs);
    QString text;
    AnswerNextBox(rig.window.get(), text, QMessageBox::No);
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    QVERIFY(text.startsWith("Send the changes of the file"));
    if (changes)
        QTest::keyClick(rig.find<QComboBox>("ComboBoxX21x"), Qt::Key_Down);
    rig.tick();
    QCOMPARE(rig.window->isWindowModified(), changes);
    const ConfigBytes before = rig.bytes();
    const QString title = rig.window->windowTitle();
    const int steps = rig.window->undo().history().Count();
    const int reads = rig.readFrames();

    text.clear();
    AnswerDialogs(rig, saved, QString(), dialogs); // the firmware file is not chosen
    dialogs.clear();
    AnswerNextBox(rig.window.get(), text, QMessageBox::StandardButton(answer));
    if (action == "close")
        rig.window->close();
    else if (action == "read")
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadDevice"), Qt::LeftButton);
    else if (action == "firmware")
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonUpdateDevice"), Qt::LeftButton);
    else
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonLangx"), Qt::LeftButton);
    QCOMPARE(text.startsWith("Save changes?"), changes);

    const bool cancelled = answer == QMessageBox::Cancel;
    if (cancelled) {
        QCOMPARE(rig.bytes(), before);
        QCOMPARE(rig.window->windowTitle(), title);
        QCOMPARE(rig.window->undo().history().Count(), steps);
        QVERIFY(dialogs.isEmpty());
    }
    // Saved as Ctrl+S saves: the file holds the work, and the action went on.
    QCOMPARE(dialogs.contains("save"), answer == QMessageBox::Save);
    if (answer == QMessageBox::Save) {
        ConfigImage file;
        QVERIFY(LoadConfigFile(saved, file, rig.window->host()));
        QCOMPARE(file.bytes, before);
    }
    const bool done = !cancelled;
    if (action == "close")
        QCOMPARE(rig.window->isVisible(), !done);
    else if (action == "read")
        QCOMPARE(rig.readFrames() - reads, done ? 32 : 0);
    else if (action == "firmware")
        QCOMPARE(dialogs.contains("open"), done);
    else
        QCOMPARE(rig.window->SetLanguage(-1), done ? LangRussian : LangEnglish);
}

void TestKeepWork::nothingSentBehindWholeWrite() {
    EditorRig rig;
    rig.controller.restartSilenceMs = 300; // it restarts while the window goes on polling
    rig.tick();
    QStringList dialogs;
    AnswerDialogs(rig, QString(), Samples + "/demo.KSWA", dialogs);
    rig.answers = {mb::IdNo, mb::IdYes}; // keep the file in the window; then write it
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    QTest::keyClick(rig.window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(rig.boxes.size(), 1);
    rig.window->activateWindow(); // again after the dialog
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    QTest::keyClick(rig.window.get(), Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(rig.boxes.size(), 2);
    // The value the editor's rule filled in is named as such, in the question and the log.
    const QString ruled = "One time only: No -> Yes (the editor's rule for a short press)";
    QVERIFY2(rig.boxes[1].contains("  " + ruled), qPrintable(rig.boxes[1]));
    QVERIFY(rig.log().contains("Changed by the editor's rules, not by you: 1* (SRC): " + ruled));
    QCOMPARE(rig.writes().size(), 32u);
    QCOMPARE(rig.controller.restarts, 1);

    // The real timer for two seconds: the monitor finds the controller again, and sends nothing.
    rig.window->host().onMonitorTick = [&rig] { rig.window->TimerLUMAPADSCREENTestTimer(); };
    rig.controller.clearLog();
    QTest::qWait(2000);
    QVERIFY(!rig.controller.requests.empty());
    QVERIFY(rig.writes().empty());
    QCOMPARE(rig.controller.config, rig.bytes());
}

void TestKeepWork::signalClosesBetweenFrames() {
#ifndef Q_OS_UNIX
    QSKIP("no POSIX signals");
#else
    EditorRig rig;
    QuitSignals quit;
    QObject::connect(&quit, &QuitSignals::received, rig.window.get(), &MainWindow::CloseForSignal);
    rig.tick();
    rig.bytes()[1980] = 1; // work of the window's own: no question for it on a signal
    bool raised = false;
    rig.controller.onRequest = [&rig, &raised](const sim::LoggedRequest&) {
        if (!raised && rig.writes().size() == 5)
            raised = ::raise(SIGTERM) == 0;
    };
    rig.answers = {mb::IdYes};
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonWriteDevice"), Qt::LeftButton);
    QVERIFY(raised);
    QTRY_VERIFY(!rig.window->isVisible());
    QCOMPARE(rig.boxes.size(), 1); // the write's question, nothing after
    QVERIFY(rig.writes().size() < 32);
    QVERIFY(rig.log().contains("The program is closing on signal 15"));
    QVERIFY(rig.log().contains("The controller may now hold part of the new configuration"));
    QVERIFY(ReadAll(rig.settingsPath).contains("MainLeft="));
#endif
}

void TestKeepWork::droppedFirmwareAskedAndRun() {
    EditorRig rig;
    rig.tick();
    const auto drop = [&rig](const QString& file) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(file)});
        QWidget* on = rig.find<QWidget>("PageControlMain");
        QCoreApplication::postEvent(
            on, new QDragEnterEvent({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(
            on, new QDropEvent({5, 5}, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(); // the drop acts once it has returned
    };
    const QString firmware = Samples + "/controller-1.37.LDR";
    const auto flashed = [&rig] {
        return std::count_if(rig.controller.requests.begin(), rig.controller.requests.end(),
                             [](const sim::LoggedRequest& r) { return r.cmd == 0x82; });
    };
    rig.answers = {mb::IdNo}; // an accident: nothing is flashed
    drop(firmware);
    QCOMPARE(rig.boxes.value(0), "Update the controller's firmware from the file "
                                 "\"controller-1.37.LDR\"?\nController's version: 1.36\n"
                                 "File's version: 1.37");
    QCOMPARE(flashed(), 0);

    rig.boxes.clear();
    rig.answers = {mb::IdYes};
    drop(firmware);
    QCOMPARE(rig.boxes.size(), 1); // a newer version: no other question
    QVERIFY(flashed() > 64);
    // The controller runs what it was given, and says so once it is announced again.
    QTRY_VERIFY_WITH_TIMEOUT((rig.tick(), rig.status().contains("V1.37")), 5000);
    QCOMPARE(rig.controller.appVersion, 137u);
    rig.boxes.clear();
    rig.answers = {mb::IdYes, mb::IdNo};
    drop(firmware);
    QVERIFY(rig.boxes.value(0).contains("Controller's version: 1.37"));
    QCOMPARE(rig.boxes.value(1), "Are you trying to download the same version as in the "
                                 "device\nContinue?");
}

void TestKeepWork::toolbarStaysPut() {
    EditorRig rig;
    rig.tick();
    QWidget* bar = rig.find<QWidget>("MainToolBar");
    const auto buttons = [bar] {
        QMap<QString, QRect> at;
        for (QToolButton* b : bar->findChildren<QToolButton*>())
            if (b->isVisible())
                at[b->objectName() + b->toolTip()] = b->geometry();
        return at;
    };
    auto* panel = rig.find<QLabel>("PanelMenu");
    const QString hint = panel->toolTip();
    const QMap<QString, QRect> before = buttons();
    QVERIFY2(before.size() >= 10, qPrintable(QStringList(before.keys()).join(",")));
    // A file kept in the window leaves the longest notice there is.
    QStringList dialogs;
    AnswerDialogs(rig, QString(), Samples + "/demo.KSWA", dialogs);
    rig.answers = {mb::IdNo};
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    const QString notice = "The file is not sent to the controller: write the configuration to "
                           "the device to send it";
    QTest::qWait(50); // the layout settles
    QCOMPARE(buttons(), before);
    QVERIFY2(panel->text().endsWith(QChar(0x2026)), qPrintable(panel->text()));
    QVERIFY(panel->text().size() < notice.size());
    QCOMPARE(panel->toolTip(), notice);
    QCOMPARE(rig.log().count(notice), 1);
    // Wide enough, it shows whole; cleared, the panel has its own hint again.
    rig.window->resize(1600, 513);
    QTest::qWait(50);
    QCOMPARE(panel->text(), notice);
    rig.window->resize(720, 513);
    QTest::qWait(50);
    rig.window->host().ClearPanelMessage();
    QCOMPARE(panel->toolTip(), hint);
    QCOMPARE(buttons(), before);
}

void TestKeepWork::everyControlNamed() {
    EditorRig rig;
    rig.tick();
    auto* pages = rig.find<QTabWidget>("PageControlMain");
    for (const int language : {LangEnglish, LangRussian}) {
        QCOMPARE(rig.window->SetLanguage(-1), language);
        for (int page = 0; page < pages->count(); ++page) {
            rig.clickTab(pages->tabBar(), page);
            QTest::qWait(20);
            QStringList found;
            int seen = 0;
            Nameless(QAccessible::queryAccessibleInterface(rig.window.get()), found, seen);
            QVERIFY2(found.isEmpty(), qPrintable(pages->tabText(page) + ": " + found.join(' ')));
            QVERIFY(seen > 10); // the toolbar and the page
        }
        // In the language shown: the hint's words.
        QCOMPARE(rig.find<QToolButton>("SpeedButtonReadConfig")->accessibleName(),
                 language == LangEnglish ? "Open the device configuration file"
                                         : "Открыть файл конфигурации устройства");
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonLangx"), Qt::LeftButton);
    }
}

QTEST_MAIN(TestKeepWork)
#include "tst_keepwork.moc"
