// The LIN exchanges. Each poll is followed by a 1 ms wait that keeps the window alive.
#include "LinLink.h"

#include "host/Clock.h"
#include "host/UiHost.h"
#include "link/FrameProtocol.h"
#include "link/ResultText.h"

#include <cstring>

namespace korvex {

namespace {
constexpr std::uint8_t MasterRequest = 0x3C;
constexpr std::uint8_t FetchResponse = 0x7D;
constexpr std::uint8_t StillWorking = 0xFF;
constexpr std::uint8_t ResponseMarkByte = 9;
constexpr int Tries = 3;
} // namespace

int LinLink::LinExchange(const std::uint8_t* payload, int length, LinReply& reply) {
    Frame frame = Frame::request(RawCommand, 0, payload, length);
    const int rc = frames_.FrameTransact(frame);
    if (rc != result::Ok)
        return rc;
    reply.length = frame.len();
    std::memcpy(reply.bytes.data(), frame.payload(), static_cast<std::size_t>(reply.length));
    return result::Ok;
}

int LinLink::LinTransfer(const LinData& data, LinReply& response) {
    std::uint8_t request[1 + 8];
    request[0] = MasterRequest;
    std::memcpy(request + 1, data.data(), data.size());
    LinReply reply;
    if (LinExchange(request, sizeof request, reply) != result::Ok)
        return linresult::RequestFailed;

    UiHost& host = frames_.host();
    const LinkState& state = frames_.state();
    std::uint32_t start = host.clock->Now();
    const auto overdue = [&start, &host, this] {
        return pollLimitMs > 0 && static_cast<int>(host.clock->Now() - start) >= pollLimitMs;
    };
    do {
        if (state.appClosing)
            return linresult::RequestFailed;
        if (overdue())
            return linresult::ResponseLength;
        if (LinExchange(nullptr, 0, reply) != result::Ok)
            return linresult::RequestPollFailed;
        if (reply.length != 1)
            return linresult::RequestPollLength;
        host.WaitMs(1, true);
    } while (reply.bytes[0] == StillWorking);

    if (LinExchange(&FetchResponse, 1, reply) != result::Ok)
        return linresult::FetchFailed;
    start = host.clock->Now();
    for (;;) {
        if (state.appClosing)
            return linresult::RequestFailed;
        if (overdue())
            return linresult::ResponseLength;
        if (LinExchange(nullptr, 0, response) != result::Ok)
            return linresult::FetchPollFailed;
        if (response.length > 1)
            return linresult::Ok;
        host.WaitMs(1, true);
        if (response.length != 1 || response.bytes[0] != StillWorking)
            return linresult::Ok;
    }
}

int LinLink::LinRequest(const LinData& data, LinReply& response) {
    int rc = linresult::Ok;
    for (int attempt = 0; attempt < Tries; ++attempt) {
        rc = LinTransfer(data, response);
        if (rc != linresult::Ok || response.length != 1)
            break;
    }
    return rc;
}

int LinLink::Checked(std::uint8_t command, const LinData& data, LinReply& response) {
    const int rc = LinRequest(data, response);
    if (rc != linresult::Ok)
        return rc;
    if (response.length != ResponseLength)
        return linresult::ResponseLength;
    if (response.bytes[0] != ResponseMarkByte)
        return linresult::ResponseMark;
    // A positive response may carry the command with bit 6 set.
    if ((response.bytes[1] & 0xBF) != command)
        return linresult::ResponseCode;
    return linresult::Ok;
}

int LinLink::LinQuery(std::uint8_t command, std::uint8_t* result, int expected) {
    LinReply response;
    const int rc = Checked(command, LinData{command}, response);
    if (rc != linresult::Ok)
        return rc;
    if (response.bytes[2] != expected)
        return linresult::ResultCount;
    if (expected > 0)
        std::memcpy(result, &response.bytes[3], static_cast<std::size_t>(expected));
    return linresult::Ok;
}

int LinLink::LinCommand(std::uint8_t command, const LinArgs& args, LinData& out) {
    LinData data{command};
    std::memcpy(data.data() + 1, args.data(), args.size());
    LinReply response;
    const int rc = Checked(command, data, response);
    if (rc != linresult::Ok)
        return rc;
    std::memcpy(out.data(), &response.bytes[1], out.size());
    return linresult::Ok;
}

} // namespace korvex
