// The window shows what overwriting the controller's configuration changes before it happens:
// a file opened while connected can be kept in the window, unsent, until the user writes it.
#include "app/AppCore.h"
#include "app/FileDialogs.h"
#include "common/EditorRig.h"
#include "config/ConfigFile.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace korvex;
using namespace korvex::test;

namespace {

struct Shown {
    QString title;
    QString text;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

// Answers the next message box that opens, from the event loop, with a click on `pressed`.
void AnswerNextBox(QObject* owner, Shown& shown, QMessageBox::StandardButton pressed) {
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, &shown, pressed] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        shown.title = box->windowTitle();
        shown.text = box->text();
        if (box->defaultButton() != nullptr)
            shown.defaultButton = box->standardButton(box->defaultButton());
        QTest::mouseClick(box->button(pressed), Qt::LeftButton);
    });
    poll->start(10);
}

} // namespace

class TestWriteSafeguard : public QObject {
    Q_OBJECT
private slots:
    void openedFileKeptUntilWritten();
};

void TestWriteSafeguard::openedFileKeptUntilWritten() {
    EditorRig rig;
    rig.window->host().answerBox = nullptr; // the real boxes
    rig.tick();
    QCOMPARE(rig.readFrames(), 32);
    QVERIFY(rig.window->core().monitor.imageInSync);
    // An edit sent live is on the controller: the questions below do not name it.
    rig.clickTab(rig.strip(), 1);
    QTest::mouseClick(rig.find<QCheckBox>("CheckBoxEventOnce"), Qt::LeftButton);
    rig.tick();
    QCOMPARE(rig.controller.config[33 + 20], 1);

    ConfigImage file;
    file.bytes = rig.bytes(); // as read and shown
    file.bytes[1980] = 1;
    file.bytes[4 * 33 + 10] = 1, file.bytes[4 * 33 + 12] = 12, file.bytes[4 * 33 + 19] = 3;
    const QString path = rig.dir.filePath("customer.KSWA");
    QVERIFY(SaveConfigFile(path, file, rig.window->host(), LangEnglish).ok());
    rig.window->files().onShown = [&](QFileDialog& dialog) {
        dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
        static_cast<QDialog&>(dialog).accept();
        if (dialog.isVisible())
            dialog.reject();
    };
    const QString changes = "Changes to the controller's configuration:\n"
                            "X2/1: No power -> Output +12V\n"
                            // shown as set, never sent: the controller still holds 0
                            "1* (SRC)\n"
                            "  One time only: No -> Yes (the editor's rule for a short press)\n"
                            "5*: added\n"
                            "  Event: LIN \"VOL UP\", Press: Any, Source: Any\n"
                            "  Response: Not set";

    // No: the file stays in the window and the next ticks send nothing.
    Shown asked;
    AnswerNextBox(rig.window.get(), asked, QMessageBox::No);
    rig.controller.clearLog();
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    QCOMPARE(asked.title, QStringLiteral("Question"));
    QCOMPARE(asked.defaultButton, QMessageBox::No);
    QCOMPARE(asked.text, "Send the changes of the file to the controller now?\nNo: the file stays "
                         "in the window and nothing is sent until the configuration is written."
                         "\n\n" +
                             changes);
    QCOMPARE(rig.bytes(), file.bytes);
    QCOMPARE(rig.strip()->tabText(4), QStringLiteral("5*")); // not only the selected tab's caption
    QVERIFY(!rig.window->core().monitor.imageInSync);
    QCOMPARE(rig.panel(), QStringLiteral("The file is not sent to the controller: write the "
                                         "configuration to the device to send it"));
    rig.tick(3);
    QVERIFY(rig.writes().empty());
    QCOMPARE(rig.controller.config[1980], 0);

    // The write question names the same changes; Yes sends the file.
    Shown write;
    AnswerNextBox(rig.window.get(), write, QMessageBox::Yes);
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonWriteDevice"), Qt::LeftButton);
    QCOMPARE(write.text, "Are you sure you want to write\ndata to the controller?\n\n" + changes);
    QCOMPARE(write.defaultButton, QMessageBox::No);
    QCOMPARE(rig.writes().size(), 32u);
    QCOMPARE(rig.controller.config, file.bytes);
    // Written, the file is what the controller holds.
    AnswerNextBox(rig.window.get(), write, QMessageBox::No);
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonWriteDevice"), Qt::LeftButton);
    QVERIFY(write.text.endsWith("\n\nThe controller's configuration does not change"));

    // Without a controller a file opens as it always did: no question.
    rig.controller.setPlugged(false);
    rig.tick();
    rig.window->host().answerBox = [&rig](unsigned, const QString& text) {
        rig.boxes << text;
        return mb::IdNo;
    };
    QTest::mouseClick(rig.find<QToolButton>("SpeedButtonReadConfig"), Qt::LeftButton);
    QVERIFY(rig.boxes.isEmpty());
    QCOMPARE(rig.panel(), QStringLiteral("The configuration is read"));
}

QTEST_MAIN(TestWriteSafeguard)
#include "tst_writesafeguard.moc"
