// The configuration file that the window's configuration came from or was last saved to, with
// the bytes that file holds: the title names it and shows whether the window holds changes since.
#pragma once

#include "config/ConfigImage.h"

#include <QString>

namespace korvex {

struct MonitorState;

class OpenedFile {
public:
    // The configuration now is `fileName`'s, as `bytes`; an empty name: it came from elsewhere
    // (the controller), and no file is named.
    void Take(const QString& fileName, const ConfigBytes& bytes);

    const QString& FileName() const { return fileName_; }
    // The image differs from the file; never without a file.
    bool Modified(const ConfigBytes& image) const;
    // The user's work exists only in the window: the configuration, as the editor shows it,
    // is neither this file's (or what it came from) nor what the connected controller holds.
    bool HoldsOwnWork(const ConfigImage& image, const MonitorState& monitor) const;
    // What follows the title: " - <name>[*]", Qt's place for the mark of changes; empty without a
    // file. A "[*]" in the name itself is doubled, so that it shows as written.
    QString TitleSuffix() const;

private:
    QString fileName_;
    ConfigBytes bytes_{};
};

} // namespace korvex
