// The connection monitor: finds the controller, watches it, re-reads the configuration when a
// different controller answers, and sends edited bytes to it. The window drives it from a timer;
// everything here runs without a window.
#pragma once

#include "link/PortDoctor.h"
#include "text/TextPair.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace korvex {

class ConfigTransfer;
class DeviceLink;
class PortFinder;
class UiHost;
struct ConfigImage;
struct IdentityRecord;
struct LanguageState;
struct MonitorState;

// The current-source panel while no controller answers.
inline constexpr TextPair SelectedUnknownText{"Выбран: ?", "Selected: ?"};

// Which toolbar buttons a state allows; the firmware, view and language buttons are always on.
struct ToolbarEnable {
    bool fileButtons;
    bool deviceButtons;
};
constexpr ToolbarEnable ToolbarEnableFor(bool busy, bool connected) {
    return {!busy, !busy && connected};
}

// What the monitor shows and asks of the window.
class MonitorView {
public:
    virtual ~MonitorView() = default;
    virtual void SetStatusText(const QString& text) = 0;
    // The small panel that shows the controller's current source.
    virtual void SetCurrentSource(bool enabled, const QString& caption) = 0;
    virtual void SetToolbarBusy(bool busy) = 0;
    // The whole configuration read with its progress and error box, as the toolbar does it.
    virtual void ReadDeviceConfiguration() = 0;
};

// The doctor on this system, with the converter ports that `finder` lists.
std::function<DoctorReport(int language)> SystemDoctor(PortFinder& finder);

class ConnectionMonitor {
public:
    static constexpr int SlowPollMs = 200;
    static constexpr int FastPollMs = 10;
    static constexpr int FastPolls = 20;
    static constexpr int AnswerPollMs = 1; // after a line sent to the controller
    // A search this long without a controller is explained once, with the doctor's finding.
    static constexpr std::uint32_t ExplainSearchAfterMs = 10000;

    ConnectionMonitor(DeviceLink& link, MonitorState& monitor, IdentityRecord& identity,
                      ConfigImage& image, ConfigTransfer& transfer, MonitorView& view, UiHost& host,
                      const LanguageState& language)
        : link_(link), monitor_(monitor), identity_(identity), image_(image), transfer_(transfer),
          view_(view), host_(host), language_(language) {}

    // What the controller's notifications run. A key press reports whether the key is known;
    // terminal text returns a result code. Unset hooks leave the notification unread.
    std::function<bool()> showKeyPress;
    std::function<void()> autoCaptureStep;
    std::function<int()> readTerminalText;
    std::function<void()> resetTerminalLine;
    // Runs before the edits of a tick are sent, once per tick that sends any.
    std::function<void()> beforeSend;
    // The system's checks of the converter in `language`; unset, a long search says nothing.
    std::function<DoctorReport(int language)> doctor;

    // One timer tick: poll, then send the edits. The next tick comes after interval() ms.
    void Tick();
    int PollController();
    // Returns the number of bytes sent.
    int SendChangedBytes();
    int interval() const { return interval_; }
    // Polls at once and then fast for a while, so that the controller's answer comes promptly.
    void PollSoon();

private:
    // After the search text: why the port just probed refused to open, empty when it did not.
    QString RefusalNote(int language) const;
    // Called on each poll that found no controller.
    void NoteFruitlessSearch(int language);

    DeviceLink& link_;
    MonitorState& monitor_;
    IdentityRecord& identity_;
    ConfigImage& image_;
    ConfigTransfer& transfer_;
    MonitorView& view_;
    UiHost& host_;
    const LanguageState& language_;
    int interval_ = SlowPollMs;
    bool searching_ = false;
    bool searchExplained_ = false;
    std::uint32_t searchSince_ = 0;
};

} // namespace korvex
