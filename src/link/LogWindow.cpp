// The log window over a QTextEdit.
#include "LogWindow.h"

#include "text/TextPair.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextEdit>

namespace korvex {

namespace {

constexpr TextPair ClearScreen{"Очистить окно", "Clear screen"};
constexpr TextPair CopyAll{"Копировать все", "Copy All"};
constexpr TextPair GetAllEvents{"Получить все события", "Get all events"};
constexpr TextPair SaveToFile{"Сохранить в файл...", "Save to file..."};

const QColor ControllerBlue(0x00, 0x00, 0xFF);

} // namespace

LogWindow::LogWindow(QTextEdit* richEditRX, const LanguageState& language)
    : QObject(richEditRX), richEditRX_(richEditRX), language_(language),
      popupMenuKeys_(new QMenu(richEditRX)), deleteKeyx_(popupMenuKeys_->addAction(QString())),
      copyAllx_(popupMenuKeys_->addAction(QString())),
      saveToFilex_(popupMenuKeys_->addAction(QString())) {
    richEditRX_->setReadOnly(true);
    richEditRX_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The log only grows; an undo history of it would double its memory for nothing.
    richEditRX_->document()->setUndoRedoEnabled(false);
    empty_ = richEditRX_->document()->isEmpty();
    viewport_ = richEditRX_->viewport();
    viewport_->installEventFilter(this);
    // A log at its end stays there when its text is laid out anew: a page not shown yet lays it
    // out only when it appears, and a resize does it again. Scrolling up by hand lets it be.
    QScrollBar* bar = richEditRX_->verticalScrollBar();
    connect(bar, &QScrollBar::rangeChanged, this, [this, bar](int, int maximum) {
        if (followEnd_)
            bar->setValue(maximum);
    });
    connect(bar, &QScrollBar::actionTriggered, this,
            [this, bar](int) { followEnd_ = bar->sliderPosition() >= bar->maximum(); });

    popupMenuKeys_->setObjectName(QStringLiteral("PopupMenuKeys"));
    deleteKeyx_->setObjectName(QStringLiteral("DeleteKeyx"));
    copyAllx_->setObjectName(QStringLiteral("CopyAllx"));
    saveToFilex_->setObjectName(QStringLiteral("SaveToFilex"));
    connect(deleteKeyx_, &QAction::triggered, this, &LogWindow::DeleteKeyxClick);
    connect(copyAllx_, &QAction::triggered, this, &LogWindow::CopyAllxClick);
    connect(saveToFilex_, &QAction::triggered, this, [this] {
        context_ = ContextNone;
        if (onSaveToFile)
            onSaveToFile();
    });
}

void LogWindow::LogLineColored(LogColour colour, const QString& text) {
    QTextCharFormat format;
    // Window-text lines carry no colour of their own, so they follow the palette.
    if (colour == LogColour::ControllerBlue)
        format.setForeground(ControllerBlue);
    QTextCursor cursor(richEditRX_->document());
    cursor.movePosition(QTextCursor::End);
    if (!empty_)
        cursor.insertBlock(QTextBlockFormat(), format);
    cursor.insertText(text, format);
    empty_ = false;
    richEditRX_->setTextCursor(cursor);
    richEditRX_->ensureCursorVisible();
    followEnd_ = true;
    QScrollBar* bar = richEditRX_->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void LogWindow::Clear() {
    richEditRX_->clear();
    empty_ = true;
    followEnd_ = true;
}

QMenu* LogWindow::PrepareKeysMenu(int context) {
    context_ = context;
    const bool fromLog = context == ContextLog;
    deleteKeyx_->setText(LangText(fromLog ? ClearScreen : GetAllEvents, language_));
    copyAllx_->setText(LangText(CopyAll, language_));
    copyAllx_->setVisible(fromLog);
    saveToFilex_->setText(LangText(SaveToFile, language_));
    saveToFilex_->setVisible(fromLog);
    return popupMenuKeys_;
}

void LogWindow::OpenKeysMenu(int context, const QPoint& globalPos) {
    PrepareKeysMenu(context)->popup(globalPos);
}

bool LogWindow::eventFilter(QObject* watched, QEvent* event) {
    // Compared with the pointer kept at the start: while the edit is being destroyed its
    // viewport still sends events, and the edit can no longer be asked for it.
    if (watched == viewport_) {
        // The second press of a quick pair arrives as a double click; it is still a press.
        if (event->type() == QEvent::MouseButtonPress ||
            event->type() == QEvent::MouseButtonDblClick) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            RichEditRXMouseDown(mouse->button(), mouse->globalPosition().toPoint());
        } else if (event->type() == QEvent::ContextMenu) {
            return true; // the right press already opened PopupMenuKeys
        }
    }
    return QObject::eventFilter(watched, event);
}

void LogWindow::RichEditRXMouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::LeftButton) {
        if (clickPair_.Press(tickCount()))
            Clear();
    } else if (button == Qt::RightButton) {
        OpenKeysMenu(ContextLog, globalPos);
    }
}

void LogWindow::DeleteKeyxClick() {
    if (context_ == ContextLog)
        Clear();
    else if (context_ == ContextEventPanel && onAutoCaptureOn)
        onAutoCaptureOn();
    context_ = ContextNone;
}

QString LogWindow::PlainText() const {
    return richEditRX_->toPlainText();
}

void LogWindow::CopyAllxClick() {
    richEditRX_->selectAll();
    QGuiApplication::clipboard()->setText(richEditRX_->toPlainText());
}

} // namespace korvex
