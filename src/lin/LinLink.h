// The LIN layer behind the controller's 0x87 pass-through: a diagnostic master request, the
// fetch of the slave's response, and the polls in between; device commands 0x80..0x86 travel
// as the first data byte.
#pragma once

#include "link/Frame.h"

#include <array>
#include <cstdint>

namespace korvex {

class FrameProtocol;

// LIN result codes; 0 is success. Frame failures below the LIN layer appear as 1..5.
namespace linresult {
constexpr int Ok = 0;
constexpr int RequestFailed = 1;     // sending the master request failed, or the application closes
constexpr int RequestPollFailed = 2; // a poll after the master request failed
constexpr int RequestPollLength = 3; // that poll's reply was not exactly one byte
constexpr int FetchFailed = 4;       // sending the 0x7D step failed
constexpr int FetchPollFailed = 5;   // a poll for the response failed
constexpr int ResponseLength = 10;   // the response is not 10 bytes (also: no response at all)
constexpr int ResponseMark = 11;     // response byte 0 is not 9
constexpr int ResponseCode = 12;     // the response code does not match the command
constexpr int ResultCount = 13;      // another number of result bytes than expected
constexpr int ParamEchoLength = 15;  // a parameter write echoed a length other than 6
constexpr int ParamEchoDiffers = 16; // the echoed parameters differ from those written
constexpr int BlockEchoLength = 17;  // a block write echoed a length other than 3
constexpr int BlockEchoNumber = 18;  // a block write echoed another block number
constexpr int BlockStatus = 19;      // a block write reported a non-zero status
} // namespace linresult

namespace lincmd {
constexpr std::uint8_t ReadInfo = 0x80;
constexpr std::uint8_t ReadSerial = 0x81;
constexpr std::uint8_t ReadParams = 0x82;
constexpr std::uint8_t WriteParams = 0x83;
constexpr std::uint8_t FlashBegin = 0x84;
constexpr std::uint8_t FlashEnd = 0x85;
constexpr std::uint8_t FlashBlock = 0x86;
} // namespace lincmd

using LinData = std::array<std::uint8_t, 8>;
using LinArgs = std::array<std::uint8_t, 7>;

// A reply payload of the pass-through; after a fetch, the response: 9, D1..D8, one more byte.
struct LinReply {
    std::array<std::uint8_t, FrameMaxPayload> bytes{};
    int length = 0;
};

class LinLink {
public:
    explicit LinLink(FrameProtocol& frames) : frames_(frames) {}

    static constexpr std::uint8_t RawCommand = 0x87;
    static constexpr int ResponseLength = 10;

    // 0: the window's polls, which wait as long as the device says it is working.
    int pollLimitMs = 0;

    // One exchange with cmd 0x87, never repeated; returns the frame layer's code.
    int LinExchange(const std::uint8_t* payload, int length, LinReply& reply);
    // Master request, polls, response fetch, polls. The loops end with an answer, a failure or
    // the closing of the application, and after `pollLimitMs` in either loop when it is set:
    // then as a device that gave no response (ResponseLength), without another try. A length of
    // 1 means no response.
    int LinTransfer(const LinData& data, LinReply& response);
    // LinTransfer, run up to three times in all while the device gives no response.
    int LinRequest(const LinData& data, LinReply& response);
    // A command without arguments whose `expected` result bytes are copied to `result`.
    int LinQuery(std::uint8_t command, std::uint8_t* result, int expected);
    // A command with arguments; `out` receives the response's data bytes D1..D8.
    int LinCommand(std::uint8_t command, const LinArgs& args, LinData& out);

private:
    int Checked(std::uint8_t command, const LinData& data, LinReply& response);
    FrameProtocol& frames_;
};

} // namespace korvex
