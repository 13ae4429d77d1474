// What the injected faults do to the virtual controller's replies.
#include "ReplyFaults.h"

#include "link/FrameProtocol.h"
#include "link/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace korvex::sim {

QByteArray BuildReply(std::uint8_t cmd, std::uint16_t offset, const QByteArray& payload,
                      bool badCheck, bool lengthAbove64) {
    const int len = static_cast<int>(std::min<qsizetype>(payload.size(), FrameMaxPayload));
    QByteArray body(4 + len, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(body.data());
    p[0] = cmd;
    PutU16le(&p[1], offset);
    p[3] = static_cast<std::uint8_t>(len);
    std::memcpy(p + 4, payload.constData(), static_cast<std::size_t>(len));
    std::uint8_t check = FrameCheck(0, p, 4 + len);
    if (lengthAbove64)
        p[3] = FrameMaxPayload + 1;
    if (badCheck)
        check = static_cast<std::uint8_t>(check ^ 0x5A);
    QByteArray wire;
    wire.append(static_cast<char>(FrameStartByte));
    wire.append(body);
    wire.append(static_cast<char>(check));
    return wire;
}

std::optional<FaultRule> TakeFault(std::vector<FaultRule>& rules, std::uint8_t cmd,
                                   const std::function<bool(Fault)>& wanted) {
    for (auto it = rules.begin(); it != rules.end(); ++it) {
        if ((it->command != -1 && it->command != cmd) || !wanted(it->fault))
            continue;
        const FaultRule rule = *it;
        if (it->count > 0 && --it->count == 0)
            rules.erase(it);
        return rule;
    }
    return std::nullopt;
}

QByteArray ReplyInsteadOf(const FaultRule& rule, std::uint8_t cmd, std::uint16_t offset,
                          bool bootloaderMode) {
    switch (rule.fault) {
    case Fault::StatusFE:
        return BuildReply(StatusBadParams, offset, {});
    case Fault::StatusFD:
        return BuildReply(StatusFailed, offset, {});
    case Fault::AckRead:
        return BuildReply(StatusAck, offset, {});
    case Fault::AppAcksFirmware:
        return cmd == 0x82 && !bootloaderMode ? BuildReply(StatusAck, offset, {}) : QByteArray();
    default:
        return {};
    }
}

QByteArray SpoilReply(const FaultRule& rule, std::uint8_t cmd, std::uint16_t offset,
                      QByteArray reply) {
    const auto rebuilt = [&](std::uint8_t replyCmd, std::uint16_t replyOffset, bool badCheck,
                             bool lengthAbove64) {
        const QByteArray body = reply.mid(5, static_cast<std::uint8_t>(reply[4]));
        return BuildReply(replyCmd, replyOffset, body, badCheck, lengthAbove64);
    };
    const auto replyCmd = static_cast<std::uint8_t>(reply[1]);
    const int param = std::max(0, rule.param);
    switch (rule.fault) {
    case Fault::BadCheck:
        return rebuilt(replyCmd, offset, true, false);
    case Fault::LengthAbove64:
        return rebuilt(replyCmd, offset, false, true);
    case Fault::WrongCommand:
        return rebuilt(replyCmd == 0x81 ? 0x82 : 0x81, offset, false, false);
    case Fault::WrongOffset:
        return rebuilt(replyCmd, static_cast<std::uint16_t>(offset + 1), false, false);
    case Fault::EchoCommand:
        return rebuilt(cmd, offset, false, false);
    case Fault::CutShort:
        reply.truncate(param);
        return reply;
    case Fault::GarbageBefore: {
        QByteArray noise;
        for (int i = 0; i < param; ++i)
            noise.append(static_cast<char>(0xA0 + (i % 16)));
        return noise + reply;
    }
    case Fault::GarbageAfter:
        for (int i = 0; i < param; ++i)
            reply.append(static_cast<char>(i % 2 ? 0x55 : 0x13));
        return reply;
    default:
        return reply;
    }
}

} // namespace korvex::sim
