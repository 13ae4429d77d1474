// The one rule before anything replaces the window's configuration (a read, a file opened, the
// defaults, a restart, a firmware update, the language switch, a close): work that exists only in
// the window is asked about, and the answer is kept to. Every such command asks here, so that a
// new one cannot forget it.
#pragma once

#include "app/RecoveryCopy.h"

#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

namespace korvex {

class OpenedFile;
class WindowHost;
struct ConfigImage;
struct LanguageState;
struct MonitorState;

class WorkGuard {
public:
    WorkGuard(const ConfigImage& image, const MonitorState& monitor, const OpenedFile& opened,
              WindowHost& host, const LanguageState& language);

    // Sends the edits a controller in step with the window is about to get anyway.
    std::function<void()> sendPending;
    // Saves to the named file as it is (its own form); true once it is on disk.
    std::function<bool(const QString& fileName)> saveTo;
    // The save with its dialog, for work that no file holds.
    std::function<void()> saveAs;

    // The window holds work that is neither in its file nor on the connected controller.
    bool HoldsOwnWork() const;
    // True when nothing of the user's would be lost, or the user saved it or let it go; false
    // (Cancel, or a save cancelled or failed) leaves everything as it was.
    bool MayReplace();

    // The recovery copy: after each tick. Work that exists only in the window is written a few
    // seconds after it changed (never on the path of the edit); once there is none, the copy
    // goes. A copy left by an earlier run is offered first, once.
    void WatchWork();
    // Written at once (a quit signal: the window ends without asking).
    void KeepWorkNow();
    // The window closes as the user asked: nothing of its work is left to recover.
    void DropRecovery();
    // Gives back the kept work as a file opened would, with the file it came from.
    std::function<void(const RecoveryCopy::Kept& kept)> restore;
    RecoveryCopy recovery;
    QTimer recoveryTimer; // its interval: how long after a change the copy is written

private:
    void OfferRecovery();

    const ConfigImage& image_;
    const MonitorState& monitor_;
    const OpenedFile& opened_;
    WindowHost& host_;
    const LanguageState& language_;
    std::optional<ConfigBytes> kept_; // what the copy on disk holds, when this run wrote it
    bool offered_ = false;
};

} // namespace korvex
