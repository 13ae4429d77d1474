// Keyboard and screen-reader access.
#include "KeyboardAccess.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <vector>

namespace korvex {

namespace {

constexpr char OwnName[] = "korvexNamex"; // the name this file gave, renewed on each call
constexpr int MaxCaption = 60;

// A label's text as words: no accelerator marks, no line breaks, no colon at the end.
QString Words(QString text) {
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text = text.simplified();
    while (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

// A label that captions a control: a few words, not a text of its own.
QString Caption(const QLabel* label) {
    const QString words = Words(label->text());
    return words.size() <= MaxCaption ? words : QString();
}

// The label placed before `control` in the layout that holds it, if any.
QLabel* LabelBefore(QWidget* control) {
    QWidget* parent = control->parentWidget();
    if (parent == nullptr)
        return nullptr;
    for (QLayout* layout : parent->findChildren<QLayout*>()) {
        const int at = layout->indexOf(control);
        if (at < 0)
            continue;
        if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
            int row = 0, column = 0, rows = 0, columns = 0;
            grid->getItemPosition(at, &row, &column, &rows, &columns);
            for (int c = column - 1; c >= 0; --c)
                if (QLayoutItem* item = grid->itemAtPosition(row, c))
                    if (auto* label = qobject_cast<QLabel*>(item->widget()))
                        return label;
            return nullptr;
        }
        for (int i = at - 1; i >= 0; --i)
            if (auto* label = qobject_cast<QLabel*>(layout->itemAt(i)->widget()))
                return label;
        return nullptr;
    }
    return nullptr;
}

// The caption of the label before `control`; the label becomes its buddy, so that screen
// readers relate the two and the label's mnemonic reaches the control.
QString CaptionBefore(QWidget* control) {
    QLabel* label = LabelBefore(control);
    if (label == nullptr)
        return {};
    const QString caption = Caption(label);
    if (!caption.isEmpty() && label->buddy() == nullptr)
        label->setBuddy(control);
    return caption;
}

// Where the control is: the titles of its group boxes and pages, innermost last.
QString Place(QWidget* control) {
    QStringList parts;
    for (QWidget* w = control->parentWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* group = qobject_cast<QGroupBox*>(w); group && !group->title().isEmpty())
            parts.prepend(Words(group->title()));
        QWidget* stack = w->parentWidget();
        auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
        if (tabs != nullptr && tabs->indexOf(w) >= 0)
            parts.prepend(Words(tabs->tabText(tabs->indexOf(w))));
        if (w->isWindow())
            break;
    }
    return parts.join(QStringLiteral(", "));
}

bool IsControl(QWidget* w) {
    return qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
           qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
           qobject_cast<QTabBar*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
           qobject_cast<QTextEdit*>(w) || w->focusPolicy() != Qt::NoFocus;
}

QString NameFor(QWidget* w) {
    // A button says what it does in its hint (a key named at its end is no part of the name);
    // a field is named by its label, else by its hint.
    const QString hint = Words(w->toolTip().section(QStringLiteral(" ("), 0, 0));
    auto* button = qobject_cast<QAbstractButton*>(w);
    QString name = button != nullptr ? hint : CaptionBefore(w);
    if (name.isEmpty())
        name = button != nullptr ? Words(button->text()) : hint;
    if (name.isEmpty()) {
        if (auto* label = qobject_cast<QLabel*>(w))
            name = Words(label->text());
        else if (auto* line = qobject_cast<QLineEdit*>(w))
            name = Words(line->placeholderText());
    }
    if (name.isEmpty() && qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parent()))
        return {}; // the edit of a combo box is named with the box
    if (name.isEmpty() || (button != nullptr && name.size() <= 2)) {
        const QString place = Place(w);
        if (!place.isEmpty())
            name = name.isEmpty() ? place : place + QStringLiteral(": ") + name;
    }
    return name;
}

bool IsUndoKey(QKeyEvent* key) {
    return key->matches(QKeySequence::Undo);
}

bool IsRedoKey(QKeyEvent* key) {
    const QKeyCombination combination = key->keyCombination();
    return key->matches(QKeySequence::Redo) ||
           combination == QKeyCombination(Qt::ControlModifier, Qt::Key_Y) ||
           combination == QKeyCombination(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_Z);
}

// Whether the text field has a step of its own to undo (or redo).
bool FieldCanStep(QObject* field, bool redo) {
    if (auto* line = qobject_cast<QLineEdit*>(field))
        return !line->isReadOnly() && (redo ? line->isRedoAvailable() : line->isUndoAvailable());
    QTextDocument* document = nullptr;
    bool readOnly = true;
    if (auto* plain = qobject_cast<QPlainTextEdit*>(field))
        document = plain->document(), readOnly = plain->isReadOnly();
    else if (auto* rich = qobject_cast<QTextEdit*>(field))
        document = rich->document(), readOnly = rich->isReadOnly();
    else
        return true; // not a text field: it decides itself
    return !readOnly && document != nullptr &&
           (redo ? document->isRedoAvailable() : document->isUndoAvailable());
}

} // namespace

void NameControls(QWidget* root) {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (!IsControl(w) || w->isWindow())
            continue;
        if (!w->accessibleName().isEmpty() && !w->property(OwnName).toBool())
            continue;
        const QString name = NameFor(w);
        if (name.isEmpty())
            continue;
        w->setAccessibleName(name);
        w->setProperty(OwnName, true);
    }
}

void OrderTabs(QWidget* window) {
    struct Stop {
        QWidget* widget;
        int row;
        int left;
    };
    constexpr int RowHeight = 12; // controls of one row differ in their tops by a few pixels
    std::vector<Stop> stops;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || !(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() != nullptr)
            continue;
        if (w->window() != window)
            continue;
        const QPoint at = w->mapTo(window, QPoint(0, w->height() / 2));
        stops.push_back({w, at.y() / RowHeight, at.x()});
    }
    // Within a tab page, by where it is on the page; pages of one tab widget follow each other.
    std::stable_sort(stops.begin(), stops.end(), [](const Stop& a, const Stop& b) {
        return a.row != b.row ? a.row < b.row : a.left < b.left;
    });
    for (std::size_t i = 1; i < stops.size(); ++i)
        QWidget::setTabOrder(stops[i - 1].widget, stops[i].widget);
}

KeyboardAccess::KeyboardAccess(QWidget* window) : QObject(window), window_(window) {
    qApp->installEventFilter(this);
}

KeyboardAccess::~KeyboardAccess() {
    qApp->removeEventFilter(this);
}

bool KeyboardAccess::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // The order follows what is laid out: the window, and each page as it is first shown.
    auto* shown = qobject_cast<QWidget*>(watched);
    if (type == QEvent::Show && shown != nullptr && shown->window() == window_ &&
        (shown == window_ || qobject_cast<QStackedWidget*>(shown->parentWidget())) &&
        !orderPending_) {
        orderPending_ = true;
        QTimer::singleShot(0, this, [this] {
            orderPending_ = false;
            OrderTabs(window_);
        });
    }
    if (type == QEvent::Show) {
        // A dialog of the window gets its names when it opens, in the language of that moment.
        if (auto* dialog = qobject_cast<QDialog*>(watched); dialog && dialog->parentWidget())
            NameControls(dialog);
        return false;
    }
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != window_)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress) {
        // Alt+Down opens a button's drop-down, as it opens a combo box.
        auto* button = qobject_cast<QToolButton*>(widget);
        if (button != nullptr && button->menu() != nullptr && button->isEnabled() &&
            key->keyCombination() == QKeyCombination(Qt::AltModifier, Qt::Key_Down)) {
            button->showMenu();
            return true;
        }
        return false;
    }
    // A field with nothing of its own to take back leaves the key to the configuration's undo.
    const bool undo = IsUndoKey(key);
    const bool redo = !undo && IsRedoKey(key);
    if ((undo || redo) && !FieldCanStep(watched, redo)) {
        event->ignore();
        return true;
    }
    return false;
}

} // namespace korvex
