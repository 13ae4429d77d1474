// A LIN lamp on the virtual controller's master bus, reached through the controller's 0x87
// pass-through: master request (0x3C + 8 data bytes), response fetch (0x7D) and polls (empty).
// It answers the device commands 0x80..0x86; faults are injected on purpose.
#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <vector>

namespace korvex::sim {

// The images the virtual devices run name their version, as real firmware does somewhere in its
// code: these four bytes and then the version x 100 (u32 little-endian). A device that is given
// such an image reports that version once it runs it.
inline constexpr char VersionMark[] = "KVER";
// The version an image names, or -1 when it names none.
long long MarkedVersion(const QByteArray& image);

class VirtualLinLamp {
public:
    // --- what the lamp is -------------------------------------------------------------------
    std::uint16_t bootVersion = 102;
    std::uint16_t appVersion = 110; // 0 = no application
    std::uint8_t deviceType = 3;
    std::uint8_t boardType = 2;
    std::uint32_t serialNumber = 5001234;
    std::array<std::uint8_t, 6> params{0x01, 0x00, 0x64, 0x0A, 0x00, 0x00};
    QByteArray flash; // what the blocks wrote, at 4 x the block number

    // --- how it behaves ---------------------------------------------------------------------
    int busyPolls = 1;           // polls answered "still working" after each step
    int noResponse = 0;          // transfers the lamp leaves unanswered; -1 = every one
    bool fetchNeverEnds = false; // after the fetch the controller reports "still working" for ever
    int badStatusBlock = -1;     // this block is answered with status 1
    int wrongCodeCommand = -1;   // this command is answered with another response code
    int requestPollBytes = 1;    // the length of a poll's reply after a master request
    bool blockLowByteOnly = false; // block writes echo the block number's low byte only
    // The response to `command` handed on with byte `at` (0 = the mark 9, 1..8 = D1..D8) set
    // to `value`.
    struct Patch {
        int command = -1;
        int at = 0;
        std::uint8_t value = 0;
    } patch;

    // --- what it saw ------------------------------------------------------------------------
    std::vector<std::array<std::uint8_t, 8>> requests; // the data bytes of every master request
    int polls = 0;
    int count(std::uint8_t command) const;
    bool programming() const { return programming_; }

    // One pass-through request; false when the controller would refuse its payload.
    bool passThrough(const QByteArray& payload, QByteArray& reply);

private:
    enum class Step { Idle, Request, Fetch };
    void answer(const std::array<std::uint8_t, 8>& data);

    Step step_ = Step::Idle;
    int busy_ = 0;
    bool hasResponse_ = false;
    std::array<std::uint8_t, 8> response_{};
    std::uint8_t responseCommand_ = 0;
    bool programming_ = false;
};

} // namespace korvex::sim
