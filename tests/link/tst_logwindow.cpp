// The log window: line colours, the manual double-click, PopupMenuKeys in both contexts and
// languages, and copying the whole log.
#include "link/ClickPair.h"
#include "link/LogWindow.h"
#include "text/TextPair.h"

#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

using namespace korvex;

class TestLogWindow : public QObject {
    Q_OBJECT
private slots:
    void linesKeepTheirColours();
    void twoQuickPressesClear();
    void menuCaptionsAndActions();
};

namespace {

// The colour a line is drawn in: its own, or the widget's text colour when it has none.
QColor LineColour(const QTextEdit& edit, int line) {
    const QTextCharFormat format =
        edit.document()->findBlockByNumber(line).begin().fragment().charFormat();
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : edit.palette().color(QPalette::Text);
}

void Press(QTextEdit& edit, Qt::MouseButton button) {
    QTest::mousePress(edit.viewport(), button, {}, QPoint(5, 5));
}

} // namespace

void TestLogWindow::linesKeepTheirColours() {
    QTextEdit edit;
    LanguageState language;
    LogWindow log(&edit, language);
    const QFontMetrics metrics(edit.font()); // fixed pitch: every character equally wide
#ifdef Q_OS_WIN
    // Windows' fixed font is Courier New, which Wine does not have (nor the offscreen platform,
    // which knows only the fonts deployed with Qt): where it is missing, nothing to check.
    if (QFontInfo(edit.font()).family() == edit.font().family())
#endif
        QCOMPARE(metrics.horizontalAdvance(u'i'), metrics.horizontalAdvance(u'W'));

    log.LogLineColored(LogColour::WindowText, QStringLiteral("first"));
    log.LogLineColored(LogColour::ControllerBlue, QStringLiteral("<b>from &amp; the controller"));
    log.LogLineColored(LogColour::WindowText, QString()); // an empty line still counts
    log.LogLineColored(LogColour::WindowText, QStringLiteral("after blue"));
    QCOMPARE(edit.toPlainText(),
             QStringLiteral("first\n<b>from &amp; the controller\n\nafter blue"));
    QCOMPARE(LineColour(edit, 0), edit.palette().color(QPalette::Text));
    QCOMPARE(LineColour(edit, 1), QColor(0, 0, 255));
    QCOMPARE(LineColour(edit, 3), edit.palette().color(QPalette::Text)); // blue does not run on

    // The newest line is in view once the log is longer than the window.
    edit.resize(300, 100);
    edit.show();
    for (int i = 0; i < 2000; ++i)
        log.LogLineColored(LogColour::WindowText, QString::number(i));
    QVERIFY(edit.verticalScrollBar()->value() > 0);
    QTextCursor newest(edit.document());
    newest.movePosition(QTextCursor::End);
    QVERIFY(edit.viewport()->rect().contains(edit.cursorRect(newest)));

    // Lines that came while the log was never shown: it opens at its end.
    QTextEdit later;
    LogWindow early(&later, language);
    for (int i = 0; i < 2000; ++i)
        early.LogLineColored(LogColour::WindowText, QString::number(i));
    later.resize(300, 100);
    later.show();
    QVERIFY(QTest::qWaitForWindowExposed(&later));
    QVERIFY(later.verticalScrollBar()->maximum() > 0);
    QCOMPARE(later.verticalScrollBar()->value(), later.verticalScrollBar()->maximum());

    log.Clear();
    log.LogLineColored(LogColour::ControllerBlue, QStringLiteral("fresh"));
    QCOMPARE(edit.toPlainText(), QStringLiteral("fresh")); // no empty line left at the top
}

void TestLogWindow::twoQuickPressesClear() {
    ClickPair pair;
    QVERIFY(!pair.Press(1000));
    QVERIFY(pair.Press(1499));  // 499 ms: a pair
    QVERIFY(!pair.Press(1600)); // the pair ended, this starts a new one
    QVERIFY(!pair.Press(2100)); // exactly 500 ms is too slow, and starts the next pair
    QVERIFY(pair.Press(2200));
    QVERIFY(!pair.Press(0xFFFFFF00u));
    QVERIFY(pair.Press(0x00000010u)); // across the wrap of the tick count

    // Through the mouse on the window, with a clock the test sets.
    QTextEdit edit;
    LanguageState language;
    LogWindow log(&edit, language);
    std::uint32_t now = 5000;
    log.tickCount = [&now] { return now; };
    log.LogLineColored(LogColour::WindowText, QStringLiteral("kept"));
    Press(edit, Qt::LeftButton);
    now += 600;
    Press(edit, Qt::LeftButton);
    QCOMPARE(edit.toPlainText(), QStringLiteral("kept"));
    Press(edit, Qt::RightButton); // other buttons do not count...
    log.PopupMenuKeys()->hide();
    now += 100;
    Press(edit, Qt::LeftButton); // ...so this completes the pair begun 100 ms ago
    QCOMPARE(edit.toPlainText(), QString());

    // A double click as the toolkit delivers it (press, release, double-click, release): its
    // second press arrives as the double-click event and still completes the pair.
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    log.LogLineColored(LogColour::WindowText, QStringLiteral("kept"));
    now += 1000;
    const QPoint inside = edit.viewport()->mapTo(&edit, QPoint(5, 5));
    QTest::mouseDClick(edit.windowHandle(), Qt::LeftButton, {}, inside);
    QCOMPARE(edit.toPlainText(), QString());
}

void TestLogWindow::menuCaptionsAndActions() {
    QTextEdit edit;
    LanguageState language;
    LogWindow log(&edit, language);
    edit.show();
    log.LogLineColored(LogColour::WindowText, QStringLiteral("one"));
    log.LogLineColored(LogColour::ControllerBlue, QStringLiteral("two"));

    Press(edit, Qt::RightButton);
    QVERIFY(log.PopupMenuKeys()->isVisible());
    QCOMPARE(log.DeleteKeyx()->text(), QStringLiteral("Очистить окно"));
    QCOMPARE(log.CopyAllx()->text(), QStringLiteral("Копировать все"));
    log.PopupMenuKeys()->hide();
    QGuiApplication::clipboard()->clear();
    log.CopyAllx()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("one\ntwo"));

    // The event panel's opening: only its own item, which asks for capture and keeps the log.
    int captureRequests = 0;
    log.onAutoCaptureOn = [&captureRequests] { ++captureRequests; };
    language.current = LangEnglish;
    log.PrepareKeysMenu(LogWindow::ContextEventPanel);
    QCOMPARE(log.DeleteKeyx()->text(), QStringLiteral("Get all events"));
    QVERIFY(!log.CopyAllx()->isVisible());
    log.DeleteKeyx()->trigger();
    log.DeleteKeyx()->trigger(); // the context is spent after a choice
    QCOMPARE(captureRequests, 1);
    QCOMPARE(edit.toPlainText(), QStringLiteral("one\ntwo"));

    // Reopened from the log: captions renewed in English, the second item back; clears.
    log.OpenKeysMenu(LogWindow::ContextLog, QPoint(10, 10));
    QCOMPARE(log.DeleteKeyx()->text(), QStringLiteral("Clear screen"));
    QCOMPARE(log.CopyAllx()->text(), QStringLiteral("Copy All"));
    QVERIFY(log.CopyAllx()->isVisible());
    log.PopupMenuKeys()->hide();
    log.DeleteKeyx()->trigger();
    QCOMPARE(edit.toPlainText(), QString());
    QCOMPARE(captureRequests, 1);
}

QTEST_MAIN(TestLogWindow)
#include "tst_logwindow.moc"
