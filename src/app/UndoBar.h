// Undo and redo in the window: the two toolbar buttons with their keys and hints, and the points
// at which a user's action becomes a step (after each input event, around each monitor tick).
#pragma once

#include "config/ConfigHistory.h"

#include <QObject>

#include <functional>

class QHBoxLayout;
class QToolButton;
class QWidget;

namespace korvex {

struct LanguageState;

class UndoBar final : public QObject {
    Q_OBJECT
public:
    // The buttons go into `toolbar` at `position`.
    UndoBar(ConfigBytes& image, QHBoxLayout* toolbar, int position, QWidget* window,
            const LanguageState& language);
    ~UndoBar() override;

    // Shows the image after an undo or redo; `entry` is the first entry it changed, or -1.
    std::function<void(int entry)> showImage;

    ConfigHistory& history() { return history_; }
    // What the user changed since the last step becomes one; after a read, a new history.
    void Record();
    // The configuration was read: the history starts anew once its display is done.
    void RestartAfterRead() { restartPending_ = true; }
    // A change that is nobody's action (the language) is taken without a step.
    void Rebase();
    // Off while a toolbar command runs.
    void SetBusy(bool busy);
    // The hints, in the current language.
    void UpdateButtons();

    void Undo();
    void Redo();

protected:
    // Watches the application's input: a step is taken once the event's handlers have run.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Step(bool (ConfigHistory::*move)());

    ConfigBytes& image_;
    const LanguageState& language_;
    ConfigHistory history_;
    QToolButton* undo_;
    QToolButton* redo_;
    bool busy_ = false;
    bool restartPending_ = false;
    bool recordScheduled_ = false;
};

} // namespace korvex
