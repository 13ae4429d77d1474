// Reading and writing the controller's memory areas by offset, block transfers under the
// progress gauge, and the identity record that every connection check reads.
#pragma once

#include <QSet>
#include <QString>

#include <cstdint>

namespace korvex {

class FrameProtocol;
class UiHost;
struct IdentityRecord;
struct LanguageState;
struct MonitorState;

namespace area {
constexpr int Identity = 1;
constexpr int Firmware = 2;
constexpr int Restart = 3;
constexpr int Defaults = 4;
constexpr int Terminal = 5;
constexpr int Configuration = 0x10;
} // namespace area

class DeviceAccess {
public:
    DeviceAccess(FrameProtocol& frames, UiHost& host, MonitorState& monitor,
                 const LanguageState& language)
        : frames_(frames), host_(host), monitor_(monitor), language_(language) {}

    // One read request; the controller decides how many bytes (at most 64) it returns.
    int DeviceRead(int area, std::uint16_t offset, std::uint8_t* destination, int capacity,
                   int* count);
    // One write of at most 64 bytes; no source sends `count` zero bytes.
    int DeviceWrite(int area, std::uint16_t offset, const std::uint8_t* source, int count);
    int DeviceReadBlock(int area, int start, std::uint8_t* destination, int total);
    int DeviceWriteBlock(int area, int start, const std::uint8_t* source, int total, int chunk);

    int ReadIdentity(IdentityRecord& record);
    void PrintIdentity(const IdentityRecord& record);
    int ReadAndPrintIdentity(IdentityRecord& record);
    // Opens the next candidate port and reads the identity; on failure closes the port so that
    // the next call tries the next candidate.
    // A port that exists but cannot be opened is explained in the log, once per port and
    // reason. The command line says it in its error instead.
    int ComProbe(IdentityRecord& record);
    bool logPortProblems = true;

private:
    FrameProtocol& frames_;
    UiHost& host_;
    MonitorState& monitor_;
    const LanguageState& language_;
    QSet<QString> reportedProblems_;
};

} // namespace korvex
