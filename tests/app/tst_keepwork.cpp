// The window never drops the user's work and no device action surprises: the question before
// work that exists only in the window is dropped, nothing sent behind a whole write, a close on
// SIGTERM, a toolbar that stays put, and a name for every control.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "app/RecoveryCopy.h"
#include "app/WorkGuard.h"
#include "app/UndoBar.h"
#include "common/EditorRig.h"
#include "config/ConfigFile.h"
#include "config/ConfigHistory.h"
#include "config/ConfigText.h"
#include "config/Snapshots.h"
#include "host/CommandTexts.h"
#include "host/QuitSignals.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMenu>
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

// Answers every message box that opens, keeping its text: "Save changes?" with `save` (or Esc),
// a question with No, a notice with OK.
void AnswerEveryBox(QObject* owner, QStringList& texts, QMessageBox::StandardButton save,
                    bool escape) {
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, poll, [&texts, save, escape] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        texts << box->text();
        if (box->button(QMessageBox::Save) != nullptr && escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else if (box->button(QMessageBox::Save) != nullptr)
            QTest::mouseClick(box->button(save), Qt::LeftButton);
        else if (box->button(QMessageBox::No) != nullptr)
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        else
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
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
    void saveOverExistingFileAsks_data();
    void saveOverExistingFileAsks();
    void nothingSentBehindWholeWrite();
    void signalClosesBetweenFrames();
    void recoveryCopyLife_data();
    void recoveryCopyLife();
    void quitSignalNeverWaits_data();
    void quitSignalNeverWaits();
    void droppedFirmwareAskedAndRun();
    void toolbarStaysPut();
    void everyControlNamed();
    void keyboardWalksThePages();
};

void TestKeepWork::keyboardWalksThePages() {
    EditorRig rig;
    rig.tick();
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    auto* pages = rig.find<QTabWidget>("PageControlMain");
    for (int page = 0; page < pages->count(); ++page) {
        rig.clickTab(pages->tabBar(), page);
        QCoreApplication::processEvents(); // the order follows the page once it is laid out
        pages->tabBar()->setFocus();
        QWidgetList walked;
        for (int i = 0; i < 300; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            if (now == nullptr || walked.contains(now))
                break; // round, or a field that takes Tab itself
            walked << now;
        }
        // On the page: top to bottom, left to right.
        QStringList order;
        int row = -1;
        int left = -1;
        for (QWidget* w : walked) {
            if (!pages->currentWidget()->isAncestorOf(w))
                continue;
            const QPoint at = w->mapTo(rig.window.get(), QPoint(0, w->height() / 2));
            order << w->objectName();
            QVERIFY2(at.y() / 12 > row || (at.y() / 12 == row && at.x() > left),
                     qPrintable(pages->tabText(page) + ": " + order.join(" > ")));
            row = at.y() / 12;
            left = at.x();
        }
        QVERIFY2(order.size() >= 2, qPrintable(pages->tabText(page) + ": " + order.join(" > ")));
        if (pages->currentWidget()->findChild<QWidget*>("TableOverviewx")) // Tab leaves the table
            QVERIFY2(order.contains("SpeedButtonPrintx") && order.contains("SpeedButtonExportx") &&
                         order.contains("TableOverviewx"),
                     qPrintable(order.join(" > ")));
    }
    // The panel's menu from the keyboard, its keys shown beside its items.
    QWidget* panel = rig.find<QWidget>("PanelMenu");
    panel->setFocus();
    QTest::keyClick(panel, Qt::Key_F10, Qt::ShiftModifier);
    QMenu& menu = rig.window->popupMenu();
    QTRY_VERIFY(menu.isVisible());
    menu.hide();
    QTest::keyClick(panel, Qt::Key_Menu);
    QTRY_VERIFY(menu.isVisible());
    menu.hide();
    for (const char* item : {"MenuItemCopyTextx", "MenuItemPasteTextx", "MenuItemExportx"})
        QVERIFY2(!menu.findChild<QAction*>(item)->shortcut().isEmpty(), item);
}

void TestKeepWork::askedBeforeWorkIsDropped_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("work");   // none, file (kept in the window, not sent), nofile
    QTest::addColumn<QString>("answer"); // to "Save changes?"; "fails": the file's folder is gone
    QTest::addRow("language, no controller: nothing read, no question")
        << "language-offline" << "file" << "";
    QTest::addRow("close, work of no file, save dialog cancelled")
        << "close" << "nofile" << "cancelled";
    for (const char* action :
         {"close", "read", "firmware", "language", "defaults", "restart", "open"}) {
        for (const char* answer : {"cancel", "escape", "fails", "discard", "save"})
            QTest::addRow("%s, changes, %s", action, answer) << action << "file" << answer;
        QTest::addRow("%s, no changes", action) << action << "none" << "";
    }
    QTest::addRow("close, work of no file, save") << "close" << "nofile" << "save";
}

void TestKeepWork::askedBeforeWorkIsDropped() {
    QFETCH(QString, action);
    QFETCH(QString, work);
    QFETCH(QString, answer);
    EditorRig rig;
    rig.window->host().answerBox = nullptr; // the real boxes
    rig.tick();
    QVERIFY(rig.window->core().monitor.controllerConnected);
    // The work's own file, and another to open.
    QVERIFY(QDir(rig.dir.path()).mkpath("work"));
    const QString source = rig.dir.filePath("work/demo.KSWA");
    QVERIFY(QFile::copy(Samples + "/demo.KSWA", source));
    const QString other = rig.dir.filePath("other.KSWA");
    ConfigImage factory;
    factory.bytes = FactoryBytes();
    QVERIFY(SaveConfigFile(other, factory, rig.window->host(), LangEnglish).error.isEmpty());
    QStringList dialogs;
    const QString saved = rig.dir.filePath("saved.KSWA");
    AnswerDialogs(rig, saved, source, dialogs);
    QStringList texts;
    const auto press = answer == "save"                         ? QMessageBox::Save
                       : answer == "discard"                    ? QMessageBox::Discard
                       : answer == "cancel" || answer == "fails" ? QMessageBox::Cancel
                                                                 : QMessageBox::Save;
    AnswerEveryBox(rig.window.get(), texts, answer == "fails" ? QMessageBox::Save : press,
                   answer == "escape");
    if (work == "nofile") { // edits of the controller's configuration once it is gone
        rig.controller.setPlugged(false);
        rig.tick();
    } else { // a file kept in the window, not sent: then an edit of it exists nowhere else
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
        QVERIFY(texts.value(0).startsWith("Send the changes of the file"));
    }
    if (work != "none")
        QTest::keyClick(rig.find<QComboBox>("ComboBoxX21x"), Qt::Key_Down);
    rig.tick();
    QCOMPARE(rig.window->isWindowModified(), work == "file");
    if (action == "language-offline") {
        rig.controller.setPlugged(false);
        rig.tick();
    }
    if (answer == "fails")
        QVERIFY(QDir(rig.dir.filePath("work")).removeRecursively());
    const ConfigBytes before = rig.bytes();
    const QString title = rig.window->windowTitle();
    const int steps = rig.window->undo().history().Count();
    const int reads = rig.readFrames();
    const int restarts = rig.controller.restarts;

    texts.clear();
    dialogs.clear();
    // A save dialog goes to `saved` (or is cancelled); the firmware file is not chosen.
    AnswerDialogs(rig, answer == "cancelled" ? QString() : saved,
                  action == "open" ? other : QString(), dialogs);
    if (action == "close")
        rig.window->close();
    else if (action == "read")
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadDevice"), Qt::LeftButton);
    else if (action == "firmware")
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonUpdateDevice"), Qt::LeftButton);
    else if (action.startsWith("language"))
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonLangx"), Qt::LeftButton);
    else if (action == "defaults")
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonToDefault"), Qt::LeftButton);
    else if (action == "restart")
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReset"), Qt::LeftButton);
    else
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    const bool asked = !answer.isEmpty();
    QCOMPARE(texts.value(0).startsWith("Save changes?"), asked);

    const bool stopped = answer == "cancel" || answer == "escape" || answer == "fails" ||
                         answer == "cancelled";
    if (stopped) { // everything kept: bytes, title, history
        QCOMPARE(rig.bytes(), before);
        QCOMPARE(rig.window->windowTitle(), title);
        QCOMPARE(rig.window->undo().history().Count(), steps);
        QCOMPARE(texts.size(), answer == "fails" ? 2 : 1); // and nothing follows but the failure
    }
    if (answer == "fails")
        QVERIFY2(texts.value(1).contains("demo.KSWA"), qPrintable(texts.value(1)));
    // Work of a file is saved to that file as it is; work of none asks where.
    QCOMPARE(dialogs.contains("save"), work == "nofile" && asked);
    if (answer == "save") {
        ConfigImage file;
        QVERIFY(LoadConfigFile(work == "file" ? source : saved, file, rig.window->host()));
        QCOMPARE(file.bytes, before);
    }
    const bool done = !stopped;
    if (action == "close")
        QCOMPARE(rig.window->isVisible(), !done);
    else if (action == "read")
        QCOMPARE(rig.readFrames() - reads, done ? 32 : 0);
    else if (action == "firmware")
        QCOMPARE(dialogs.contains("open"), done);
    else if (action.startsWith("language"))
        QCOMPARE(rig.window->SetLanguage(-1), done ? LangRussian : LangEnglish);
    // The notice that the file was not sent holds only while the file is in the window.
    if (action == "read" && work == "file")
        QCOMPARE(rig.panel().startsWith("The file is not sent"), !done);
    if (action == "close" || action == "read" || action == "firmware" ||
        action.startsWith("language"))
        return;
    if (action == "defaults")
        QCOMPARE(texts.contains(LangText(texts::DefaultsQuestion, LangEnglish)), done);
    else if (action == "restart")
        QCOMPARE(rig.controller.restarts - restarts, done ? 1 : 0);
    else
        QCOMPARE(rig.window->windowTitle().contains("other.KSWA"), done);
}

void TestKeepWork::saveOverExistingFileAsks_data() {
    QTest::addColumn<QString>("save"); // what is saved: a configuration, the log, the sheet
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("replace");
    for (const auto& [save, name] : {std::pair{"configuration", "old.KSWA"},
                                     std::pair{"log", "old.txt"}, std::pair{"sheet", "old.html"}}) {
        QTest::addRow("%s, No: back to the dialog", save) << save << name << false;
        QTest::addRow("%s, Yes: replaced", save) << save << name << true;
    }
}

void TestKeepWork::saveOverExistingFileAsks() {
    QFETCH(QString, save);
    QFETCH(QString, name);
    QFETCH(bool, replace);
    EditorRig rig;
    rig.window->host().answerBox = nullptr; // the real boxes
    rig.tick();
    const QString target = rig.dir.filePath(name);
    WriteAll(target, "old bytes");
    // The dialog is given the file; shown again (after No), it is cancelled.
    int dialogs = 0;
    QStringList texts;
    auto* poll = new QTimer(rig.window.get());
    QObject::connect(poll, &QTimer::timeout, poll, [&, replace] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && dialog->isVisible()) {
            if (++dialogs > 1)
                return dialog->reject();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QDir::toNativeSeparators(target));
            QTest::keyClick(dialog, Qt::Key_Return);
        } else if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->isVisible()) {
            texts << box->text();
            QTest::mouseClick(box->button(replace ? QMessageBox::Yes : QMessageBox::No),
                              Qt::LeftButton);
        }
    });
    poll->start(10);
    if (save == "configuration")
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonWriteConfig"), Qt::LeftButton);
    else if (save == "log")
        rig.window->findChild<QAction*>("SaveToFilex")->trigger();
    else
        rig.window->findChild<QAction*>("MenuItemExportx")->trigger();
    QCOMPARE(texts, QStringList{"The file \"" + name + "\" already exists. Replace it?"});
    QCOMPARE(dialogs, replace ? 1 : 2);
    QCOMPARE(ReadAll(target) == "old bytes", !replace);
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

void TestKeepWork::recoveryCopyLife_data() {
    QTest::addColumn<int>("answer"); // to the restore question
    QTest::addRow("discarded") << int(mb::IdNo);
    QTest::addRow("restored") << int(mb::IdYes);
}

void TestKeepWork::recoveryCopyLife() {
    QFETCH(int, answer);
    EditorRig rig;
    rig.window->guard().recoveryTimer.setInterval(10);
    rig.tick();
    const RecoveryCopy copy;
    QVERIFY(copy.Path().startsWith(QDir(DefaultSnapshotRoot()).filePath("recovery/")));
    const QString source = rig.dir.filePath("car.KSWA");
    QVERIFY(QFile::copy(Samples + "/demo.KSWA", source));
    QStringList dialogs;
    AnswerDialogs(rig, QString(), source, dialogs);
    rig.answers = {mb::IdNo}; // kept in the window, not sent
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    QTest::keyClick(rig.find<QComboBox>("ComboBoxX21x"), Qt::Key_Down);
    rig.tick();
    QTRY_VERIFY(copy.Exists()); // a moment after the change
    const ConfigBytes work = rig.bytes();
    const QString title = rig.window->windowTitle();
    const QByteArray file = ReadAll(source);

    // Killed: no close, nothing asked.
    rig.window.reset();
    QVERIFY(copy.Exists());
    rig.window = std::make_unique<MainWindow>(rig.transport, rig.finder, rig.settingsPath, "test");
    rig.window->host().onMonitorTick = nullptr;
    rig.window->host().answerBox = [&rig](unsigned, const QString& text) {
        rig.boxes << text;
        return rig.answers.isEmpty() ? mb::IdNo : rig.answers.takeFirst();
    };
    rig.window->show();
    const int steps = rig.window->undo().history().Count();
    rig.boxes.clear();
    rig.answers = {answer};
    rig.tick();
    QVERIFY2(rig.boxes.value(0).startsWith("Restore the work that was not saved?") &&
                 rig.boxes.value(0).contains("differs from the file \"car.KSWA\""),
             qPrintable(rig.boxes.value(0)));
    QCOMPARE(ReadAll(source), file); // the user's file is never touched
    if (answer == mb::IdNo) {
        QVERIFY(!copy.Exists());
        QVERIFY(rig.bytes() != work);
        return;
    }
    QCOMPARE(rig.bytes(), work);
    QCOMPARE(rig.window->windowTitle(), title);
    QVERIFY(rig.window->isWindowModified());
    QCOMPARE(rig.window->undo().history().Count(), steps + 1);
    rig.tick(3);
    QVERIFY(copy.Exists()); // still the only place of the work
    // A close the user answers (Discard) leaves nothing to recover.
    rig.answers = {mb::IdNo};
    rig.window->close();
    QVERIFY(!rig.window->isVisible());
    QVERIFY(!copy.Exists());
}

void TestKeepWork::quitSignalNeverWaits_data() {
    QTest::addColumn<int>("signal");
    QTest::addColumn<QString>("when");
    for (const auto& [name, number] : {std::pair{"SIGINT", 2}, std::pair{"SIGTERM", 15},
                                       std::pair{"SIGHUP", 1}}) {
        // A box open, settings that cannot be saved: nothing may wait for a person.
        QTest::addRow("%s, About open", name) << number << "about";
        QTest::addRow("%s, settings unsaved", name) << number << "settings";
        QTest::addRow("%s, idle", name) << number << "idle";
    }
}

void TestKeepWork::quitSignalNeverWaits() {
#ifndef Q_OS_UNIX
    QSKIP("no POSIX signals");
#else
    QFETCH(int, signal);
    QFETCH(QString, when);
    EditorRig rig;
    QuitSignals quit;
    QObject::connect(&quit, &QuitSignals::received, rig.window.get(), &MainWindow::CloseForSignal);
    rig.tick();
    // Work of the window's own: a file kept in the window, then edited.
    QStringList dialogs;
    AnswerDialogs(rig, QString(), Samples + "/demo.KSWA", dialogs);
    rig.answers = {mb::IdNo};
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    QTest::keyClick(rig.find<QComboBox>("ComboBoxX21x"), Qt::Key_Down);
    rig.tick();
    QVERIFY(rig.window->isWindowModified());
    rig.boxes.clear();
    if (when == "settings") { // a folder where the settings file should be
        QVERIFY(QFile::remove(rig.settingsPath));
        QVERIFY(QDir().mkdir(rig.settingsPath));
    }
    if (when == "about") {
        rig.whenModal([signal](QWidget*) { ::raise(signal); });
        rig.window->findChild<QAction*>("MenuItemAboutx")->trigger();
    } else {
        ::raise(signal);
    }
    QTRY_VERIFY(!rig.window->isVisible());
    QVERIFY2(rig.boxes.isEmpty(), qPrintable(rig.boxes.join('|'))); // no "Save changes?" either
    QVERIFY(rig.log().contains(QStringLiteral("The program is closing on signal %1").arg(signal)));
    QVERIFY(RecoveryCopy().Find()); // the work outlives the window
    if (when == "settings")
        QVERIFY2(rig.log().contains("korvex-setup.ini"), qPrintable(rig.log()));
    else
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
    // A LIN device's firmware is said to be one, and nothing is asked or flashed.
    rig.answers = {mb::IdYes};
    drop(Samples + "/lamp-1.20.LDR");
    QCOMPARE(rig.boxes, QStringList{"The file \"lamp-1.20.LDR\" is the firmware of a LIN device, "
                                    "not of the controller: update the device on the LIN page"});
    QCOMPARE(flashed(), 0);
    rig.boxes.clear();
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
            // No Russian name in the English window (a bilingual one, as the language button's, is
            // both).
            QStringList foreign;
            for (QWidget* w : rig.window->findChildren<QWidget*>()) {
                const QString name = w->accessibleName();
                const bool cyrillic = std::any_of(name.begin(), name.end(), [](QChar c) {
                    return c.script() == QChar::Script_Cyrillic;
                });
                if (w->isVisible() && language == LangEnglish && cyrillic &&
                    !name.contains(QRegularExpression("[A-Za-z]{3}")))
                    foreign << w->objectName() + "=" + name;
            }
            QVERIFY2(foreign.isEmpty(), qPrintable(foreign.join(" | ")));
            // A field is named by the label that captions it, which screen readers relate to it.
            QStringList unrelated;
            const QList<QLabel*> labels = rig.window->findChildren<QLabel*>();
            for (QWidget* w : rig.window->findChildren<QWidget*>()) {
                if (!w->isVisible() || !(qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w)) ||
                    qobject_cast<QComboBox*>(w->parentWidget()))
                    continue;
                const auto buddy = std::find_if(labels.begin(), labels.end(),
                                                [w](QLabel* l) { return l->buddy() == w; });
                auto* box = qobject_cast<QComboBox*>(w);
                const QString value = box ? box->currentText() : static_cast<QLineEdit*>(w)->text();
                const bool labelled = buddy != labels.end() &&
                                      (*buddy)->text().remove('&').startsWith(
                                          w->accessibleName().left(3));
                // Without a label beside it, a place or a hint, never the value it holds.
                if (w->accessibleName().isEmpty() || (!labelled && w->accessibleName() == value))
                    unrelated << w->objectName() + "=" + w->accessibleName();
            }
            QVERIFY2(unrelated.isEmpty(), qPrintable(unrelated.join(" | ")));
            QVERIFY(seen > 10); // the toolbar and the page
        }
        // In the language shown: the hint's words.
        QCOMPARE(rig.find<QToolButton>("SpeedButtonReadConfig")->accessibleName(),
                 language == LangEnglish ? "Open the device configuration file"
                                         : "Открыть файл конфигурации устройства");
        // The pins' fields are captioned by the pins' names, related as buddies.
        auto* x22 = rig.find<QComboBox>("ComboBoxX22x");
        const QList<QLabel*> all = rig.window->findChildren<QLabel*>();
        const auto caption = std::find_if(all.begin(), all.end(),
                                          [x22](QLabel* l) { return l->buddy() == x22; });
        QVERIFY(caption != all.end());
        QCOMPARE(x22->accessibleName(), (*caption)->text().remove('&').remove(':').simplified());
        // Undo and redo are named by the step they take, as their hints are.
        for (const char* name : {"SpeedButtonUndox", "SpeedButtonRedox"}) {
            auto* button = rig.find<QToolButton>(name);
            QCOMPARE(button->accessibleName(), button->toolTip().section(" (", 0, 0));
        }
        QTest::mouseClick(rig.find<QToolButton>("SpeedButtonLangx"), Qt::LeftButton);
    }
}

QTEST_MAIN(TestKeepWork)
#include "tst_keepwork.moc"
