// The event-reaction editor: the strip of 60 entry tabs, the event and reaction editors under
// it, the tab and kind menus and the two small dialogs. It is the editor's side of EditorViews;
// the main window places it and forwards to it.
#pragma once

#include "config/ConfigImage.h"
#include "editor/KindMenus.h"
#include "host/EditorViews.h"
#include "host/UiHost.h"
#include "link/Notifications.h"
#include "text/TextPair.h"

#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTabBar;
class QTabWidget;
class QToolButton;

namespace Ui {
class EditorPanel;
}

class QKeyEvent;

namespace korvex {

class EventEditor;
class ReactionEditor;
class SourceDialog;
class TabNameDialog;

class EditorPanel final : public QWidget, public CaptureView {
    Q_OBJECT
public:
    struct Links {
        ConfigImage& image;
        ViewState& views;
        UiHost& host;
        const LanguageState& language;
        EditorViews& window;           // the main window's redraw lock
        QAction* onlyUsedItem;         // MenuItemOnlyUsed: its check mark is the option
        QToolButton* onlyUsedButton;   // SpeedButtonOnlyUsedx: its hint
        QTabWidget* pageControlParams; // for its page menu
    };
    EditorPanel(Links links, QWidget* parent = nullptr);
    ~EditorPanel() override;

    // The 60 tabs "1".."60", the first one selected.
    void InitTabs();
    void ShowSelectedEntry() override;
    void UpdateTabLabels();
    void ApplyOnlyUsedView();
    void FillLinReactionList();
    void SetAutoCapture(bool on) override;
    bool autoCapture() const { return autoCapture_; }
    // CaptureView
    int SelectedEntry() const override { return selectedEntry(); }
    void SelectEntry(int entry) override { SelectTab(entry); }
    bool AutoCapture() const override { return autoCapture_; }
    // Refills the lists and renews the texts that the code owns, in the current language.
    void LanguageChanged();
    // Selects a tab as the program does (the tab menu, a deletion, a capture): automatic capture
    // goes on. Shows the entry.
    void SelectTab(int index);
    // Selects a tab as a click on it does: automatic capture ends.
    void ClickTab(int index);
    int selectedEntry() const;
    QLabel* currentSourcePanel() const;
    QLabel* capturePanel() const;

    // The capture panel's mouse, wired by the window: a left click captures the controller's
    // last event, a right press opens the keys menu at the given point.
    std::function<void()> captureOnClick;
    std::function<void(QPoint)> openKeysMenu;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tabChanged();
    void popUpTabMenu(QPoint at);
    ShownPages shownPages() const;
    // The kind menus list the pages whose tabs are visible.
    ShownPages visiblePages() const;
    void popUpKindMenu(QMenu* menu, const QList<KindMenuItem>& items, QPoint at,
                       bool (*choose)(ConfigBytes&, int, int), void (EditorPanel::*remove)(int));
    // The keys of the capture panel, the kind strips and the entry strip; true when taken.
    bool KeyPressed(QObject* watched, QKeyEvent* key);
    void popUpEventMenu(QPoint at);
    void popUpReactionMenu(QPoint at);
    void popUpParamsMenu(QPoint at);
    void deleteEvents(int tag);
    void deleteReactions(int tag);
    bool ask(const QString& question);

    Links links_;
    std::unique_ptr<Ui::EditorPanel> ui_;
    EventEditor* event_ = nullptr;
    ReactionEditor* reaction_ = nullptr;
    SourceDialog* sourceDialog_ = nullptr;
    TabNameDialog* nameDialog_ = nullptr;
    QMenu* tabMenu_ = nullptr;
    QMenu* eventMenu_ = nullptr;
    QMenu* reactionMenu_ = nullptr;
    QMenu* paramsMenu_ = nullptr;
    int entryRefreshGuard_ = 0;
    bool autoCapture_ = false;
    bool selectingTab_ = false;
};

} // namespace korvex
