// The reaction half of the event-reaction editor: one page per reaction kind in the editor's
// page control. The pages show what the reaction rules make of the selected entry and forward
// every user change to them.
#pragma once

#include "config/ReactionRules.h"
#include "editor/EditorContext.h"

#include <QObject>

#include <memory>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabBar;
class QTabWidget;

namespace Ui {
class ReactionPageLin;
class ReactionPagePin;
class ReactionPageAnalog;
class ReactionPageSource;
class ReactionPageEventControl;
} // namespace Ui

namespace korvex {

class ReactionEditor final : public QObject {
    Q_OBJECT
public:
    // Adds the six pages, one per reaction kind in kind order, to the editor's page control and
    // fills the lists that the code owns in the current language.
    ReactionEditor(QTabWidget* pageControlReaction, EditorContext context,
                   QObject* parent = nullptr);
    ~ReactionEditor() override;

    // The reaction step of the entry display: selects the entry's page and shows its fields.
    void Show(int entry);
    // Refills the lists and hints that the language table does not own, each keeping its
    // position; the next Show puts the entry's selections back.
    void LanguageChanged();
    // Rebuilds the LIN command list from the two LIN types, keeping its position.
    void FillLinReactionList();
    int pageCount() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using ChoiceChange = void (*)(ConfigBytes&, int, int);
    using FlagChange = void (*)(ConfigBytes&, int, bool);
    using NumberEntry = EditNumberResult (*)(ConfigBytes&, int, const QString&, int);

    void connectControls();
    void connectChoice(QComboBox* box, ChoiceChange change);
    void connectChannel(int channel, QComboBox* action, QLineEdit* volts, QCheckBox* save);
    void connectFlag(QCheckBox* box, FlagChange change);
    void connectNumber(QLineEdit* edit, NumberEntry entry);
    void pageClicked(int page);
    void skipClicked();

    QTabWidget* pageControl_;
    QTabBar* tabBar_ = nullptr;
    EditorContext context_;
    std::unique_ptr<Ui::ReactionPageLin> lin_;
    std::unique_ptr<Ui::ReactionPagePin> pin_;
    std::unique_ptr<Ui::ReactionPageAnalog> analog_;
    std::unique_ptr<Ui::ReactionPageSource> source_;
    std::unique_ptr<Ui::ReactionPageEventControl> eventControl_;
    // What the last Show put into the edits; an edit left without Enter shows it again.
    ReactionView shown_;
};

} // namespace korvex
