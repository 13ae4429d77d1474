// The faults a test injects into the virtual controller, and what each does to a reply. Kept
// apart from the controller, which only answers as a sound one would.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace korvex::sim {

enum class Fault {
    NoReply,         // the request is not answered
    CutShort,        // only the first `param` bytes of the reply (start byte included) are sent
    Delay,           // the reply comes `param` ms late
    GarbageBefore,   // `param` noise bytes (never 0x55) before the reply
    GarbageAfter,    // `param` noise bytes after the reply
    BadCheck,        // the reply's check byte is wrong
    LengthAbove64,   // the reply's length byte is 65
    StatusFE,        // the controller rejects the parameters
    StatusFD,        // the controller fails to carry out the request
    WrongCommand,    // a read is answered with another area's reply code
    WrongOffset,     // the reply names another offset
    EchoCommand,     // a write is answered with the request's own command instead of 0xFF
    LateReply,       // the reply is still on its way `param` ms later: a purge does not drop it.
                     // It may be spoiled as well, by the next rule that matches the request.
    PauseMidReply,   // the second half of the reply follows `param` ms after the first
    AckRead,         // a read is answered with status 0xFF and no data
    AppAcksFirmware, // the application acknowledges a firmware chunk and stays running
    PartialWrite,    // the converter takes only the first `param` bytes of the request
};

struct FaultRule {
    Fault fault = Fault::NoReply;
    int command = -1; // the request command it applies to; -1 = every command
    int count = -1;   // how many requests it spoils; -1 = for ever
    int param = 0;
};

// A reply frame: start byte, command, offset, length, payload (at most 64 bytes), check byte.
// On demand the check byte is wrong or the length byte says 65.
QByteArray BuildReply(std::uint8_t cmd, std::uint16_t offset, const QByteArray& payload,
                      bool badCheck = false, bool lengthAbove64 = false);

// The first rule for `cmd` that `wanted` accepts, used up by one request.
std::optional<FaultRule> TakeFault(std::vector<FaultRule>& rules, std::uint8_t cmd,
                                   const std::function<bool(Fault)>& wanted);

// The reply a fault gives instead of the controller's own (a status, an acknowledgement);
// empty when the controller answers and the fault, if any, spoils that answer.
QByteArray ReplyInsteadOf(const FaultRule& rule, std::uint8_t cmd, std::uint16_t offset,
                          bool bootloaderMode);

// The controller's reply to request `cmd` as the fault spoils its bytes. Faults of timing or of
// the request leave it as it is.
QByteArray SpoilReply(const FaultRule& rule, std::uint8_t cmd, std::uint16_t offset,
                      QByteArray reply);

} // namespace korvex::sim
