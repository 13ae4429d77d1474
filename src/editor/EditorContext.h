// What the event and reaction pages need from the editor around them: the image they edit, the
// language, the host for message boxes, and the calls that the editor panel owns.
#pragma once

#include "config/ConfigImage.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>

namespace korvex {

struct EditorContext {
    ConfigImage& image;
    const LanguageState& language;
    UiHost& host; // EditNumber's error box
    // The selected tab index, 0..59: the entry every control edits.
    std::function<int()> selectedEntry;
    // Brings the editor in line with the selected entry; every handler calls it after its change.
    std::function<void()> showSelectedEntry;
    // A page tab clicked by the user ends automatic event capture.
    std::function<void()> autoCaptureOff;
    // The source selection dialog: two caption lines, the dialog's top-left corner on screen and
    // the mask, replaced on OK. True on OK.
    std::function<bool(const QString& line1, const QString& line2, QPoint topLeft,
                       std::uint8_t& mask)>
        selectSources;
};

} // namespace korvex
