// The parameter pages in words, shared by korvex-cli's dump and the configuration diff, so that
// both name a value exactly as the window does.
#pragma once

#include "config/ConfigImage.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace korvex {

// One value of a parameter page.
struct ParameterWord {
    enum class Style {
        Labelled, // "label: value unit"
        Flag,     // "[x] label"
        Sentence, // "label value unit"
        Part,     // "label: part value unit", further parts of the same label follow after ", "
    };
    QString page;  // caption of the page it is on
    QString label; // as on the page
    QString part;  // Part only: the sub-caption
    QString value; // the value in words
    QString unit;  // may be empty
    Style style = Style::Labelled;
    std::uint32_t stored = 0; // the value as stored, so that two values that read alike differ
};

// Every parameter of the image, in the order of the pages.
std::vector<ParameterWord> ParameterWords(const ConfigBytes& bytes, int language);

// The dump's lines: each page's caption, then its values indented by two blanks.
QStringList ParameterDumpLines(const std::vector<ParameterWord>& words);

// A caption of the main window in the chosen language, trimmed; empty for an unknown control.
QString MainCaption(const char* control, int language);

} // namespace korvex
