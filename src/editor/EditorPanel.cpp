// The event-reaction editor panel.
#include "EditorPanel.h"

#include "ui_EditorPanel.h"

#include "config/EntryWords.h"
#include "config/EventRules.h"
#include "config/ReactionRules.h"
#include "editor/EventEditor.h"
#include "editor/KindMenus.h"
#include "editor/ReactionEditor.h"
#include "editor/SourceDialog.h"
#include "editor/TabNameDialog.h"
#include "editor/WholeTabs.h"
#include "link/Crc32Fingerprint.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace korvex {

namespace {

constexpr int GroupSize = 10;

std::uint32_t EntryFingerprint(const ConfigBytes& bytes, int n) {
    const std::uint8_t* first = bytes.data() + EntryOffset(n);
    return Crc32Fingerprint(0xFFFFFFFF, first, first + EntrySize);
}

// The pages of a page control whose tabs are visible, for a menu of them.
void AddPageItems(QMenu* menu, QTabWidget* pages) {
    for (int i = 0; i < pages->count(); ++i) {
        if (pages->isTabVisible(i))
            menu->addAction(pages->tabText(i))->setData(i);
    }
}

} // namespace

EditorPanel::EditorPanel(Links links, QWidget* parent)
    : QWidget(parent), links_(links), ui_(std::make_unique<Ui::EditorPanel>()) {
    ui_->setupUi(this);
    EditorContext context{
        links_.image,
        links_.language,
        links_.host,
        [this] { return selectedEntry(); },
        [this] { ShowSelectedEntry(); },
        [this] { SetAutoCapture(false); },
        [this](const QString& line1, const QString& line2, QPoint at, std::uint8_t& mask) {
            return sourceDialog_->SelectSources(line1, line2, at, mask, links_.language.current);
        },
    };
    event_ = new EventEditor(ui_->PageControlEvent, ui_->PanelEventBottom, context, this);
    reaction_ = new ReactionEditor(ui_->PageControlReaction, context, this);
    // Created once and reused; parented to the panel's window once the panel is placed.
    sourceDialog_ = new SourceDialog(this);
    nameDialog_ = new TabNameDialog(this);

    auto menu = [this](const char* name) {
        auto* m = new QMenu(this);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    tabMenu_ = menu("PopupMenuSelectTabs");
    eventMenu_ = menu("PopupMenuSelectEvent");
    reactionMenu_ = menu("PopupMenuSelectResponse");
    paramsMenu_ = menu("PopupMenuSelectParams");

    QTabBar* tabs = ui_->TabControlEVENTREACTIONx;
    tabs->setUsesScrollButtons(true);
    tabs->setExpanding(false);
    tabs->setElideMode(Qt::ElideNone);
    for (QObject* watched :
         {static_cast<QObject*>(tabs), static_cast<QObject*>(ui_->PageControlEvent->tabBar()),
          static_cast<QObject*>(ui_->PageControlReaction->tabBar())})
        watched->installEventFilter(this);
    if (links_.pageControlParams != nullptr)
        links_.pageControlParams->tabBar()->installEventFilter(this);
    for (QTabWidget* kinds : {ui_->PageControlEvent, ui_->PageControlReaction})
        new WholeTabsAtLeft(kinds->tabBar());
    // The right press opens the keys menu; no context menu of Qt's on top of it.
    event_->capturePanel()->setContextMenuPolicy(Qt::PreventContextMenu);
    event_->capturePanel()->installEventFilter(this);
    // In the Tab order too: Space captures, the menu key opens the keys menu.
    event_->capturePanel()->setFocusPolicy(Qt::StrongFocus);
}

bool EditorPanel::KeyPressed(QObject* watched, QKeyEvent* key) {
    const int k = key->key();
    const bool act = k == Qt::Key_Space || k == Qt::Key_Return || k == Qt::Key_Enter;
    const bool menuKey =
        k == Qt::Key_Menu || (k == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier);
    const auto below = [](QWidget* w) { return w->mapToGlobal(QPoint(0, w->height())); };
    QTabBar* eventKinds = ui_->PageControlEvent->tabBar();
    QTabBar* reactionKinds = ui_->PageControlReaction->tabBar();
    if (watched == event_->capturePanel()) {
        if (act && captureOnClick)
            captureOnClick();
        else if (menuKey && openKeysMenu)
            openKeysMenu(below(event_->capturePanel()));
        return act || menuKey;
    }
    if (watched == eventKinds || watched == reactionKinds) {
        // A kind is chosen from the kind menu; the arrows would show a page of a kind the entry
        // does not have, so they do nothing here.
        auto* bar = static_cast<QTabBar*>(watched);
        const QPoint at = bar->mapToGlobal(bar->tabRect(bar->currentIndex()).bottomLeft());
        if (act || menuKey) {
            if (watched == eventKinds)
                popUpEventMenu(at);
            else
                popUpReactionMenu(at);
            return true;
        }
        return k == Qt::Key_Left || k == Qt::Key_Right || k == Qt::Key_Up || k == Qt::Key_Down ||
               k == Qt::Key_Home || k == Qt::Key_End;
    }
    if (watched == ui_->TabControlEVENTREACTIONx && k == Qt::Key_F2) {
        // F2 names the tab, as a double click does.
        QTabBar* tabs = ui_->TabControlEVENTREACTIONx;
        const QPoint at = tabs->mapToGlobal(tabs->tabRect(tabs->currentIndex()).center());
        if (nameDialog_->EditTabName(at, selectedEntry(), links_.image, links_.language.current))
            UpdateTabLabels();
        return true;
    }
    return false;
}

EditorPanel::~EditorPanel() = default;

void EditorPanel::InitTabs() {
    QTabBar* tabs = ui_->TabControlEVENTREACTIONx;
    disconnect(tabs, &QTabBar::currentChanged, this, nullptr);
    while (tabs->count() > 0)
        tabs->removeTab(0);
    for (int i = 1; i <= EntryCount; ++i)
        tabs->addTab(QString::number(i));
    // A tab bar laid out while empty keeps its empty height until told it has grown.
    tabs->updateGeometry();
    tabs->setCurrentIndex(0);
    // Clicks, keys and the wheel all change the tab; the program's own selections set the flag.
    connect(tabs, &QTabBar::currentChanged, this, [this] { tabChanged(); });
}

int EditorPanel::selectedEntry() const {
    return qBound(0, ui_->TabControlEVENTREACTIONx->currentIndex(), EntryCount - 1);
}

QLabel* EditorPanel::currentSourcePanel() const {
    return event_->currentSourcePanel();
}

QLabel* EditorPanel::capturePanel() const {
    return event_->capturePanel();
}

void EditorPanel::tabChanged() {
    if (!selectingTab_)
        SetAutoCapture(false);
    ShowSelectedEntry();
}

void EditorPanel::SelectTab(int index) {
    if (index < 0 || index >= ui_->TabControlEVENTREACTIONx->count())
        return;
    selectingTab_ = true;
    ui_->TabControlEVENTREACTIONx->setCurrentIndex(index);
    selectingTab_ = false;
    ShowSelectedEntry();
}

void EditorPanel::ClickTab(int index) {
    if (index >= 0 && index < ui_->TabControlEVENTREACTIONx->count())
        ui_->TabControlEVENTREACTIONx->setCurrentIndex(index); // its handler runs as for a click
}

void EditorPanel::ShowSelectedEntry() {
    if (entryRefreshGuard_ != 0 || ui_->TabControlEVENTREACTIONx->count() != EntryCount)
        return;
    const int t = selectedEntry();
    ConfigBytes& bytes = links_.image.bytes;
    if (EntryFingerprint(bytes, t) == links_.views.shownEntryFingerprint)
        return;
    links_.window.BeginScreenUpdate();
    entryRefreshGuard_ = t + 1;
    links_.host.SuspendMonitor();
    event_->Show(t);
    reaction_->Show(t);
    // The display may have put the entry right; what is on screen now is the entry as it is
    // after that, so an edit back to the stored value before it is not mistaken for no change.
    links_.views.shownEntryFingerprint = EntryFingerprint(bytes, t);
    if (window()->isVisible())
        window()->activateWindow();
    UpdateTabLabels();
    links_.host.ResumeMonitor();
    links_.window.EndScreenUpdate();
    entryRefreshGuard_ = 0;
}

void EditorPanel::UpdateTabLabels() {
    QTabBar* tabs = ui_->TabControlEVENTREACTIONx;
    if (tabs->count() != EntryCount)
        return;
    QStringList changed;
    for (int i = 0; i < EntryCount; ++i) {
        const QString caption = EntryCaption(links_.image, i);
        changed << (tabs->tabText(i) != caption ? caption : QString());
    }
    // A visible strip lays out all its tabs again after each caption; hidden, only once. Many
    // change together after an undo or a file.
    const qsizetype count = EntryCount - changed.count(QString());
    const bool hide = count > 3 && tabs->isVisible();
    const bool hadFocus = hide && tabs->hasFocus();
    if (hide)
        tabs->setVisible(false);
    for (int i = 0; i < EntryCount; ++i)
        if (!changed.at(i).isEmpty())
            tabs->setTabText(i, changed.at(i));
    if (hide) {
        tabs->setVisible(true);
        if (hadFocus)
            tabs->setFocus();
    }
}

void EditorPanel::ApplyOnlyUsedView() {
    links_.window.BeginScreenUpdate();
    const bool onlyUsed = links_.onlyUsedItem != nullptr && links_.onlyUsedItem->isChecked();
    const ShownPages shown = shownPages();
    auto apply = [](QTabWidget* pages, const auto& flags) {
        for (int i = 0; i < pages->count() && i < int(flags.size()); ++i) {
            if (pages->isTabVisible(i) != flags[std::size_t(i)])
                pages->setTabVisible(i, flags[std::size_t(i)]);
        }
    };
    apply(ui_->PageControlEvent, shown.event);
    apply(ui_->PageControlReaction, shown.reaction);
    if (links_.onlyUsedButton != nullptr)
        links_.onlyUsedButton->setToolTip(OnlyUsedHint(onlyUsed, links_.language.current));
    links_.window.EndScreenUpdate();
}

void EditorPanel::FillLinReactionList() {
    reaction_->FillLinReactionList();
}

void EditorPanel::SetAutoCapture(bool on) {
    autoCapture_ = on;
    QLabel* panel = event_->capturePanel();
    panel->setText(CapturePanelCaption(on, links_.language.current));
    panel->setToolTip(CapturePanelHint(on, links_.language.current));
}

void EditorPanel::LanguageChanged() {
    SetAutoCapture(autoCapture_);
    event_->LanguageChanged();
    reaction_->LanguageChanged();
}

bool EditorPanel::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress && KeyPressed(watched, static_cast<QKeyEvent*>(event)))
        return true;
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->globalPosition().toPoint();
    if (watched == event_->capturePanel()) {
        // One capture per click: the second press of a double click is not another click.
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton && captureOnClick)
            captureOnClick();
        else if (type == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton &&
                 openKeysMenu)
            openKeysMenu(at);
        return true;
    }
    if (watched == ui_->TabControlEVENTREACTIONx) {
        if (type == QEvent::MouseButtonDblClick) {
            if (nameDialog_->EditTabName(at, selectedEntry(), links_.image,
                                         links_.language.current))
                UpdateTabLabels();
            return true;
        }
        if (mouse->button() == Qt::RightButton) {
            popUpTabMenu(at);
            return true;
        }
        return false;
    }
    if (mouse->button() != Qt::RightButton || type != QEvent::MouseButtonPress)
        return QWidget::eventFilter(watched, event);
    if (watched == ui_->PageControlEvent->tabBar())
        popUpEventMenu(at);
    else if (watched == ui_->PageControlReaction->tabBar())
        popUpReactionMenu(at);
    else if (links_.pageControlParams != nullptr && watched == links_.pageControlParams->tabBar())
        popUpParamsMenu(at);
    else
        return QWidget::eventFilter(watched, event);
    return true;
}

void EditorPanel::popUpTabMenu(QPoint at) {
    // Built at each press, so the sub-items carry the captions of this moment. The groups are
    // menus of their own, which clearing the actions would leave behind.
    for (QMenu* group : tabMenu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        group->deleteLater();
    tabMenu_->clear();
    QTabBar* tabs = ui_->TabControlEVENTREACTIONx;
    for (int group = 0; group < EntryCount / GroupSize; ++group) {
        const int first = group * GroupSize;
        QMenu* sub =
            tabMenu_->addMenu(QStringLiteral("%1...%2").arg(first + 1).arg(first + GroupSize));
        for (int i = first; i < first + GroupSize; ++i) {
            QAction* item = sub->addAction(tabs->tabText(i));
            connect(item, &QAction::triggered, this, [this, i] { SelectTab(i); });
        }
    }
    tabMenu_->popup(at);
}

void EditorPanel::popUpKindMenu(QMenu* menu, const QList<KindMenuItem>& items, QPoint at,
                                bool (*choose)(ConfigBytes&, int, int),
                                void (EditorPanel::*remove)(int)) {
    menu->clear();
    for (const KindMenuItem& item : items) {
        if (item.role == KindMenuItem::Separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(item.caption);
        const int tag = item.tag;
        if (item.role == KindMenuItem::Delete) {
            connect(action, &QAction::triggered, this,
                    [this, remove, tag] { (this->*remove)(tag); });
            continue;
        }
        connect(action, &QAction::triggered, this, [this, choose, tag] {
            // A kind chosen from the menu keeps automatic capture running.
            if (choose(links_.image.bytes, selectedEntry(), tag))
                ShowSelectedEntry();
            ApplyOnlyUsedView();
        });
    }
    menu->popup(at);
}

ShownPages EditorPanel::shownPages() const {
    return PagesToShow(links_.image.bytes,
                       links_.onlyUsedItem != nullptr && links_.onlyUsedItem->isChecked());
}

ShownPages EditorPanel::visiblePages() const {
    // What the tabs show, which a capture or a page click since the last ApplyOnlyUsedView may
    // have left behind what the image holds.
    ShownPages visible;
    for (int i = 0; i < EventPageCount; ++i)
        visible.event[std::size_t(i)] = ui_->PageControlEvent->isTabVisible(i);
    for (int i = 0; i < ReactionPageCount; ++i)
        visible.reaction[std::size_t(i)] = ui_->PageControlReaction->isTabVisible(i);
    return visible;
}

void EditorPanel::popUpEventMenu(QPoint at) {
    popUpKindMenu(
        eventMenu_,
        EventKindMenu(links_.image.bytes, selectedEntry(), visiblePages(), links_.language.current),
        at, ChooseEventKind, &EditorPanel::deleteEvents);
}

void EditorPanel::popUpReactionMenu(QPoint at) {
    popUpKindMenu(reactionMenu_,
                  ReactionKindMenu(links_.image.bytes, selectedEntry(), visiblePages(),
                                   links_.language.current),
                  at, ChooseReactionKind, &EditorPanel::deleteReactions);
}

void EditorPanel::popUpParamsMenu(QPoint at) {
    QTabWidget* pages = links_.pageControlParams;
    paramsMenu_->clear();
    AddPageItems(paramsMenu_, pages);
    for (QAction* action : paramsMenu_->actions()) {
        const int tag = action->data().toInt();
        connect(action, &QAction::triggered, pages, [pages, tag] { pages->setCurrentIndex(tag); });
    }
    paramsMenu_->popup(at);
}

bool EditorPanel::ask(const QString& question) {
    return links_.host.ShowMessageBox(mb::IconWarning | mb::DefButton2, question) == mb::IdYes;
}

void EditorPanel::deleteEvents(int tag) {
    if (!ask(DeleteEventsQuestion(tag, links_.language.current)))
        return;
    const int select = DeleteEvents(links_.image.bytes, tag);
    if (select >= 0) {
        // Shown below, once the pages of deleted kinds are gone.
        const QSignalBlocker quiet(ui_->TabControlEVENTREACTIONx);
        ui_->TabControlEVENTREACTIONx->setCurrentIndex(select);
    }
    ApplyOnlyUsedView();
    ShowSelectedEntry();
}

void EditorPanel::deleteReactions(int tag) {
    if (!ask(DeleteReactionsQuestion(tag, links_.language.current)))
        return;
    DeleteReactions(links_.image.bytes, tag);
    ApplyOnlyUsedView();
    ShowSelectedEntry();
}

} // namespace korvex
