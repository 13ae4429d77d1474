// The history of the user's changes to the configuration image, for undo and redo: each step
// holds the image before and after one action (with what the display changed as its
// consequence), so that undo puts back exactly the bytes the action changed.
#pragma once

#include "config/ConfigImage.h"

#include <QString>
#include <QUndoStack>

namespace korvex {

class ConfigHistory {
public:
    static constexpr int MaxSteps = 200;

    explicit ConfigHistory(ConfigBytes& image);

    // A new, empty history from the image as it is (a read, a new controller, defaults).
    void Restart();
    // What changed in the image since the last step becomes a step; false when nothing did.
    bool Record();
    // Takes the image as it is without a step: a change that is no action of the user's.
    void Rebase();
    // Puts back the bytes the last step changed, or changes them again; false when there is no
    // such step.
    bool Undo();
    bool Redo();

    bool CanUndo() const { return stack_.canUndo(); }
    bool CanRedo() const { return stack_.canRedo(); }
    int Count() const { return stack_.count(); }
    // The step in the words of the configuration diff ("X2/1: No power -> Output +12V"); empty
    // when there is none.
    QString UndoName(int language) const;
    QString RedoName(int language) const;

private:
    QString StepName(int index, int language) const;

    ConfigBytes& image_;
    ConfigBytes base_;
    QUndoStack stack_;
};

} // namespace korvex
