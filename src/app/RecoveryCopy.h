// The copy of work that exists only in the window, kept on disk so that a kill, a crash or a
// power cut does not take it: beside the snapshots in the per-user data directory, in a folder of
// its own, so that it never replaces a snapshot or a file of the user's.
#pragma once

#include "config/ConfigImage.h"

#include <QDateTime>
#include <QString>

#include <optional>

namespace korvex {

class RecoveryCopy {
public:
    // `directory` empty: "recovery" beside the snapshots.
    explicit RecoveryCopy(const QString& directory = {});

    struct Kept {
        ConfigBytes bytes{};
        QString source; // the file the work came from; empty: none
        QDateTime made;
    };
    // What an earlier run left, read whole; nothing when there is none or it cannot be read.
    std::optional<Kept> Find() const;
    // Replaces the copy; the old one stays whole when this fails (false).
    bool Write(const ConfigBytes& bytes, const QString& source) const;
    void Remove() const;
    bool Exists() const;
    QString Path() const { return path_; }

private:
    QString path_;   // the configuration
    QString source_; // the name of the file it came from, UTF-8
};

} // namespace korvex
