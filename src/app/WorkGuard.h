// The one rule before anything replaces the window's configuration (a read, a file opened, the
// defaults, a restart, a firmware update, the language switch, a close): work that exists only in
// the window is asked about, and the answer is kept to. Every such command asks here, so that a
// new one cannot forget it.
#pragma once

#include <QString>

#include <functional>

namespace korvex {

class OpenedFile;
class WindowHost;
struct ConfigImage;
struct LanguageState;
struct MonitorState;

class WorkGuard {
public:
    WorkGuard(const ConfigImage& image, const MonitorState& monitor, const OpenedFile& opened,
              WindowHost& host, const LanguageState& language)
        : image_(image), monitor_(monitor), opened_(opened), host_(host), language_(language) {}

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

private:
    const ConfigImage& image_;
    const MonitorState& monitor_;
    const OpenedFile& opened_;
    WindowHost& host_;
    const LanguageState& language_;
};

} // namespace korvex
