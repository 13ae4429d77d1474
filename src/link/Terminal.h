// The terminal: the controller's text lines assembled from its area-5 reads and shown in blue
// with key names filled in, and the lines the user types sent back to area 5.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

namespace korvex {

class ConfigTransfer;
class DeviceAccess;
class UiHost;
struct LanguageState;
struct LinkState;
struct MonitorState;

// The line being assembled from the controller's bytes, kept across reads.
class TerminalLine {
public:
    static constexpr int MaxLength = 9999;
    // From this length on, a comma ends the line, so a long list breaks after an item.
    static constexpr int CommaBreakLength = 9990;

    // Adds the bytes and returns the lines they complete, without their line ends. A byte that
    // finds the line full starts the next one, so nothing is lost.
    QList<QByteArray> Feed(const std::uint8_t* bytes, int count);
    void Reset() { line_.clear(); }
    const QByteArray& pending() const { return line_; }

private:
    QByteArray line_;
};

// The controller's line as the log shows it: after " LIN ", the number of a following " EV:"
// (0..75) is replaced by that key's name.
QString RewriteEventNames(const QString& line);
// The text of a controller line: its bytes in code page 1251, then the rewrite.
QString TerminalLineText(const QByteArray& line);

// What Enter in the input memo does: the line under the caret to send (when `send`), and whether
// the key goes on to the memo to start a new line.
struct TerminalEnter {
    bool send = false;
    QString line;
    bool letThrough = false;
};
TerminalEnter TerminalEnterKey(const QString& text, int caret);

class Terminal {
public:
    static constexpr int ReadBuffer = 199;
    static constexpr int ReadBudget = 1024; // bytes per call; the rest waits for the next notice
    static constexpr int MaxSentLength = 63;

    Terminal(DeviceAccess& device, ConfigTransfer& transfer, MonitorState& monitor,
             LinkState& state, UiHost& host, const LanguageState& language)
        : device_(device), transfer_(transfer), monitor_(monitor), state_(state), host_(host),
          language_(language) {}

    // Reads the controller's queued text and logs every completed line in blue; 0 unless a read
    // failed.
    int ReadTerminalText();
    void ResetLine() { line_.Reset(); }
    const TerminalLine& line() const { return line_; }

    // Sends one typed line (at most 63 characters and a terminator); false when nothing was
    // sent. Then `pollSoon` runs, so that the answer is fetched promptly.
    bool SendTerminalLine(const QString& text);
    std::function<void()> pollSoon;

private:
    DeviceAccess& device_;
    ConfigTransfer& transfer_;
    MonitorState& monitor_;
    LinkState& state_;
    UiHost& host_;
    const LanguageState& language_;
    TerminalLine line_;
};

} // namespace korvex
