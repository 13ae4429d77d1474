// An in-process KORVEX-SWC-ADP controller that speaks the frame protocol byte by byte. Tests,
// `korvex-setup --demo` and `korvex-cli --demo` use it; faults are injected on purpose.
#pragma once

#include "ReplyFaults.h"
#include "VirtualLinLamp.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace korvex::sim {

constexpr int ConfigSize = 2019;

// One request as the controller understood it.
struct LoggedRequest {
    QString port;
    std::uint8_t cmd = 0;
    std::uint16_t offset = 0;
    QByteArray payload;
    bool checkOk = true; // false: the controller ignored it for its bad check byte
};

// The factory configuration that "reset to defaults" restores.
std::array<std::uint8_t, ConfigSize> FactoryConfiguration();

class VirtualController {
public:
    VirtualController();

    // --- what the controller is -------------------------------------------------------------
    std::uint32_t appVersion = 136;
    std::uint32_t serialNumber = 230417;
    std::uint32_t bootVersion = 105;
    std::uint32_t deviceType = 1;
    QString applicationName = QStringLiteral("KORVEX-SWC-ADP");
    bool bootloaderMode = false; // the name then contains "KORVEX-SWC-ADP-BOOT"
    std::uint8_t currentSource = 0;
    std::array<std::uint8_t, ConfigSize> config{};
    VirtualLinLamp linLamp; // behind the LIN pass-through (0x87)

    // --- how it behaves ---------------------------------------------------------------------
    int readChunk = 64;           // payload bytes per read reply, 1..64
    int identityLength = 50;      // bytes of the identity reply; fewer make a cut record
    int restartSilenceMs = 0;     // silence after a restart request
    bool emulateLineTime = false; // replies take as long as 115200 baud needs for the bytes
    QStringList ports{QStringLiteral("VCOM1")};
    QString answerOn; // the port the controller sits on; empty = every port
    std::vector<FaultRule> faults;
    // Runs for every request as soon as it has been parsed, before the controller acts on it: a
    // test can act at the k-th request of a command (unplug the cable, press a key).
    std::function<void(const LoggedRequest&)> onRequest;

    void setPlugged(bool plugged) { plugged_ = plugged; }
    bool plugged() const { return plugged_; }
    void addFault(Fault fault, int command = -1, int count = -1, int param = 0) {
        faults.push_back({fault, command, count, param});
    }

    // Notifications: pressed keys (bit 14 of the status word while any waits) and text for the
    // terminal (bit 15). A key whose notice has been fetched becomes the last event the
    // controller recognised, unless `recordEvent` is false (the last event is then set apart).
    void pressKey(std::uint8_t code, bool recordEvent = true, std::uint8_t flag = 1);
    void setLastEvent(std::uint8_t kind, std::uint8_t flag, std::uint8_t code);
    void queueTerminalText(const QByteArray& text) { terminalOut_ += text; }
    int queuedTerminalBytes() const { return static_cast<int>(terminalOut_.size()); }
    // Now and then a key press or a line of text, as a controller in a car would give: for the
    // demonstration, so that the terminal and the key notices have something to show.
    bool demoActivity = false;
    int demoActivityMs = 15000; // between two of them

    // --- what it saw ------------------------------------------------------------------------
    // Off for a demonstration, which may run for hours: only tests read what it saw.
    bool keepLog = true;
    std::vector<LoggedRequest> requests;
    QByteArray wireIn;            // every byte received, as it came
    QStringList opens;            // every port opened
    QList<QByteArray> terminalIn; // lines typed to it
    int restarts = 0;
    int defaultsResets = 0;
    QByteArray firmware; // what the bootloader took at area 2
    void clearLog();

    // --- the byte stream (used by the transports) -------------------------------------------
    void connectPort(const QString& port) { currentPort_ = port; }
    void receive(const std::uint8_t* data, int count, std::uint32_t now);
    // Bytes written by the tool; returns how many the converter took (a partial write fault).
    int takeWrite(const std::uint8_t* data, int count, std::uint32_t now);
    // Moves the bytes due by `now` (at most `capacity`) into `out`; returns their count.
    int takeOutput(std::uint8_t* out, int capacity, std::uint32_t now);
    // Milliseconds until the next byte is due, 0 when one is due now, -1 when none is pending.
    int msUntilOutput(std::uint32_t now) const;
    void discardOutput() { output_.clear(); }
    // A purge of the port: what has arrived is dropped, a late reply still on its way is not.
    void purgeOutput(std::uint32_t now);

    std::array<std::uint8_t, 50> identity() const;

private:
    struct Pending {
        std::uint32_t due;
        QByteArray bytes;
        bool late = false; // not yet sent: survives a purge until it is due
    };
    bool transferComplete() const;
    void handleFrame(std::uint32_t now);
    QByteArray answer(std::uint8_t cmd, std::uint16_t offset, const QByteArray& payload,
                      std::uint32_t now);

    bool plugged_ = true;
    QString currentPort_;
    // Request parser.
    bool hunting_ = true;
    std::vector<std::uint8_t> frame_;
    std::deque<Pending> output_;
    std::uint32_t silentUntil_ = 0;
    bool silent_ = false;
    // End of the run of firmware bytes taken from offset 0 on in the current transfer; -1 none.
    int transferEnd_ = -1;
    // Notifications.
    void demoStep(std::uint32_t now);
    struct Key {
        std::uint8_t code;
        bool recordEvent;
        std::uint8_t flag; // the notice's second byte: 1 for a key that counts
    };
    std::deque<Key> keys_;
    std::uint32_t nextDemo_ = 0;
    bool demoStarted_ = false;
    int demoCount_ = 0;
    std::array<std::uint8_t, 3> lastEvent_{};
    QByteArray terminalOut_;
};

} // namespace korvex::sim
