// Applying the language table to a window's widgets. Each kind of control of the original layout
// has one Qt class in ours; the class must match exactly, so a specialised control that owns its
// texts is left alone.
#include "ApplyLanguageTable.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QWidget>

#include <vector>

namespace korvex {

namespace {

struct Rows {
    const LanguageRow* caption;
    const LanguageRow* hint;
};

template <typename T> bool IsExactly(const QObject* object) {
    return object->metaObject() == &T::staticMetaObject;
}

// A tab page is a plain widget inside a tab widget's page stack.
QTabWidget* TabWidgetOfPage(QWidget* page) {
    auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
    if (stack == nullptr)
        return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    return tabs != nullptr && tabs->indexOf(page) >= 0 ? tabs : nullptr;
}

void SetTabTexts(QTabBar* bar, const QStringList& texts) {
    const QSignalBlocker blocker(bar);
    const int current = bar->currentIndex();
    while (bar->count() > texts.size())
        bar->removeTab(bar->count() - 1);
    for (int i = 0; i < texts.size(); ++i) {
        if (i < bar->count())
            bar->setTabText(i, texts.at(i));
        else
            bar->addTab(texts.at(i));
    }
    if (current < bar->count())
        bar->setCurrentIndex(current);
}

void SetComboItems(QComboBox* combo, const QStringList& items) {
    const QSignalBlocker blocker(combo);
    const int current = combo->currentIndex();
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(current < combo->count() ? current : -1);
}

bool IsCheckList(const QListWidget* list) {
    return list->count() > 0 && (list->item(0)->flags() & Qt::ItemIsUserCheckable) != 0;
}

void SetCheckListItems(QListWidget* list, const QStringList& items) {
    const QSignalBlocker blocker(list);
    std::vector<Qt::CheckState> states;
    for (int i = 0; i < list->count(); ++i)
        states.push_back(list->item(i)->checkState());
    const Qt::ItemFlags flags = list->item(0)->flags();
    list->clear();
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QListWidgetItem(items.at(i), list);
        item->setFlags(flags);
        item->setCheckState(static_cast<std::size_t>(i) < states.size()
                                ? states[static_cast<std::size_t>(i)]
                                : Qt::Unchecked);
    }
}

void Apply(QObject* object, const Rows& rows, int language) {
    const QString caption = rows.caption ? LanguageRowText(*rows.caption, language) : QString();
    const QString hint = rows.hint ? LanguageRowText(*rows.hint, language) : QString();
    auto* widget = qobject_cast<QWidget*>(object);

    if (IsExactly<QGroupBox>(object)) {
        if (rows.caption)
            static_cast<QGroupBox*>(object)->setTitle(caption);
    } else if (IsExactly<QLabel>(object)) {
        if (rows.caption)
            static_cast<QLabel*>(object)->setText(caption);
    } else if (IsExactly<QToolButton>(object)) {
        if (rows.caption)
            static_cast<QToolButton*>(object)->setText(caption);
    } else if (IsExactly<QAction>(object)) {
        auto* action = static_cast<QAction*>(object);
        if (rows.caption)
            action->setText(caption);
        if (rows.hint)
            action->setToolTip(hint);
        return;
    } else if (IsExactly<QWidget>(object)) {
        QTabWidget* tabs = TabWidgetOfPage(widget);
        if (tabs == nullptr)
            return;
        const int index = tabs->indexOf(widget);
        if (rows.caption)
            tabs->setTabText(index, caption);
        if (rows.hint)
            tabs->setTabToolTip(index, hint);
        return;
    } else if (IsExactly<QTabBar>(object)) {
        if (rows.caption)
            SetTabTexts(static_cast<QTabBar*>(object), LanguageTextLines(caption));
    } else if (IsExactly<QComboBox>(object)) {
        if (rows.caption)
            SetComboItems(static_cast<QComboBox*>(object), LanguageTextLines(caption));
    } else if (IsExactly<QCheckBox>(object)) {
        auto* box = static_cast<QCheckBox*>(object);
        const Qt::CheckState state = box->checkState();
        if (rows.caption)
            box->setText(caption);
        if (rows.hint)
            box->setToolTip(hint);
        box->setCheckState(state);
        return;
    } else if (IsExactly<QListWidget>(object)) {
        auto* list = static_cast<QListWidget*>(object);
        if (!IsCheckList(list))
            return;
        if (rows.caption)
            SetCheckListItems(list, LanguageTextLines(caption));
    } else {
        return;
    }
    if (rows.hint)
        widget->setToolTip(hint);
}

} // namespace

void ApplyLanguageTable(std::span<const LanguageRow> table, QWidget* window, int language) {
    if (window == nullptr)
        return;
    const QString form = window->objectName();
    if (const LanguageRow* row = LookupLanguageKey(form + QStringLiteral("_Caption"), table))
        window->setWindowTitle(LanguageRowText(*row, language));

    const QList<QObject*> objects = window->findChildren<QObject*>();
    for (QObject* object : objects) {
        const QString name = object->objectName();
        if (name.isEmpty())
            continue;
        const QString prefix = form + QLatin1Char('_') + name + QLatin1Char('_');
        const Rows rows{LookupLanguageKey(prefix + QStringLiteral("Caption"), table),
                        LookupLanguageKey(prefix + QStringLiteral("Hint"), table)};
        // Items rows serve only radio groups, which no form of ours has.
        if (rows.caption == nullptr && rows.hint == nullptr)
            continue;
        Apply(object, rows, language);
    }
}

} // namespace korvex
