// What the two views (the parameter pages and the event-reaction editor) last showed, and the
// calls by which the rest of the program asks them to redraw. The fingerprints let a refresh
// skip all work while what it shows is unchanged.
#pragma once

#include <cstdint>

namespace korvex {

struct ViewState {
    // Stands for "nothing shown yet": the next refresh of either view redraws.
    static constexpr std::uint32_t Invalid = 0xDEADBEAF;
    std::uint32_t shownEntryFingerprint = 0; // the event-reaction editor's entry
    std::uint32_t shownImageFingerprint = 0; // the parameter pages' image
    int screenUpdateDepth = 0;               // nesting of BeginScreenUpdate
};

inline void InvalidateViews(ViewState& views) {
    views.shownEntryFingerprint = ViewState::Invalid;
    views.shownImageFingerprint = ViewState::Invalid;
}

// The window's side of the views; the parameter pages and the commands call through it so that
// they do not depend on the editor's widgets. Tests implement it to record the calls.
class EditorViews {
public:
    virtual ~EditorViews() = default;
    // Nested redraw lock of the main window.
    virtual void BeginScreenUpdate() = 0;
    virtual void EndScreenUpdate() = 0;
    // Forces the next refresh of both views.
    virtual void InvalidateViews() = 0;
    // Brings the event-reaction editor in line with the selected entry.
    virtual void ShowSelectedEntry() = 0;
    // Renews the captions of the 60 entry tabs.
    virtual void UpdateTabLabels() {}
    // Shows or hides the event and reaction pages by the only-used option.
    virtual void ApplyOnlyUsedView() = 0;
    // Rebuilds the LIN reaction list from the two LIN types.
    virtual void FillLinReactionList() = 0;
    // Automatic capture of an event into the selected entry.
    virtual void SetAutoCapture(bool on) = 0;
};

} // namespace korvex
