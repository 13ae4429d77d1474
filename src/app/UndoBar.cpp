// The window's undo and redo.
#include "UndoBar.h"

#include "host/ToolIcons.h"
#include "text/TextPair.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>

namespace korvex {

namespace {
constexpr TextPair UndoHint{"Отменить: %s", "Undo: %s"};
constexpr TextPair RedoHint{"Повторить: %s", "Redo: %s"};
constexpr TextPair NothingToUndo{"Отменить: нечего", "Undo: nothing to undo"};
constexpr TextPair NothingToRedo{"Повторить: нечего", "Redo: nothing to redo"};

QToolButton* NewButton(const char* name, const char* icon, QWidget* window) {
    auto* button = new QToolButton(window);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    button->setMinimumSize(27, 27);
    button->setIcon(ToolIcon(icon));
    return button;
}

QString WithKeys(const QString& hint, const QList<QKeySequence>& keys) {
    QStringList shown;
    for (const QKeySequence& key : keys)
        shown << key.toString(QKeySequence::NativeText);
    return hint + QStringLiteral(" (") + shown.join(QStringLiteral(", ")) + QLatin1Char(')');
}

const QList<QKeySequence> UndoKeys{QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QList<QKeySequence> RedoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                   QKeySequence(Qt::CTRL | Qt::Key_Y)};
} // namespace

UndoBar::UndoBar(ConfigBytes& image, QHBoxLayout* toolbar, int position, QWidget* window,
                 const LanguageState& language)
    : QObject(window), image_(image), language_(language), history_(image),
      undo_(NewButton("SpeedButtonUndox", "undo", window)),
      redo_(NewButton("SpeedButtonRedox", "redo", window)) {
    toolbar->insertSpacing(position, 5);
    toolbar->insertWidget(position + 1, undo_);
    toolbar->insertWidget(position + 2, redo_);
    connect(undo_, &QToolButton::clicked, this, [this] { Undo(); });
    connect(redo_, &QToolButton::clicked, this, [this] { Redo(); });
    // The keys act as the buttons do, and only when these are enabled.
    const auto bind = [window](const QList<QKeySequence>& keys, QToolButton* button) {
        for (const QKeySequence& key : keys) {
            auto* shortcut = new QShortcut(key, window);
            QObject::connect(shortcut, &QShortcut::activated, button, [button] {
                if (button->isEnabled())
                    button->click();
            });
        }
    };
    bind(UndoKeys, undo_);
    bind(RedoKeys, redo_);
    qApp->installEventFilter(this);
    UpdateButtons();
}

UndoBar::~UndoBar() {
    qApp->removeEventFilter(this);
}

bool UndoBar::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
    case QEvent::Drop:
        if (!recordScheduled_) {
            recordScheduled_ = true;
            QTimer::singleShot(0, this, [this] {
                recordScheduled_ = false;
                Record();
            });
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void UndoBar::Record() {
    if (restartPending_) {
        restartPending_ = false;
        history_.Restart();
    } else if (!history_.Record()) {
        return;
    }
    UpdateButtons();
}

void UndoBar::Rebase() {
    history_.Rebase();
}

void UndoBar::SetBusy(bool busy) {
    busy_ = busy;
    UpdateButtons();
}

void UndoBar::Undo() {
    Step(&ConfigHistory::Undo);
}

void UndoBar::Redo() {
    Step(&ConfigHistory::Redo);
}

void UndoBar::Step(bool (ConfigHistory::*move)()) {
    if (busy_)
        return;
    Record(); // a read not yet taken ends the history first
    const ConfigBytes before = image_;
    if (!(history_.*move)()) {
        UpdateButtons();
        return;
    }
    int entry = -1;
    for (int i = 0; i < ParamRegionOffset && entry < 0; ++i)
        if (before[std::size_t(i)] != image_[std::size_t(i)])
            entry = i / EntrySize;
    if (showImage)
        showImage(entry);
    // What the display sets on showing the bytes again is part of them, not a step of its own.
    history_.Rebase();
    UpdateButtons();
}

void UndoBar::UpdateButtons() {
    const int lang = language_.current;
    const QString undoName = history_.UndoName(lang);
    const QString redoName = history_.RedoName(lang);
    undo_->setEnabled(!busy_ && history_.CanUndo());
    redo_->setEnabled(!busy_ && history_.CanRedo());
    const QString undoHint = undoName.isEmpty()
                                 ? LangText(NothingToUndo, lang)
                                 : LangFormat(UndoHint, lang, undoName.toUtf8().constData());
    const QString redoHint = redoName.isEmpty()
                                 ? LangText(NothingToRedo, lang)
                                 : LangFormat(RedoHint, lang, redoName.toUtf8().constData());
    undo_->setToolTip(WithKeys(undoHint, UndoKeys));
    redo_->setToolTip(WithKeys(redoHint, RedoKeys));
    // Screen readers say which step the button takes back, in the language shown.
    undo_->setAccessibleName(undoHint);
    redo_->setAccessibleName(redoHint);
}

} // namespace korvex
