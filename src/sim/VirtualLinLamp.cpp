// The virtual LIN lamp: positive responses carry the command with bit 6 set, as LIN diagnostics
// do, and unused response bytes are 0xFF.
#include "VirtualLinLamp.h"

#include "link/LittleEndian.h"

#include <algorithm>

namespace korvex::sim {

namespace {
constexpr std::uint8_t MasterRequest = 0x3C;
constexpr std::uint8_t FetchResponse = 0x7D;
constexpr std::uint8_t StillWorking = 0xFF;
constexpr std::uint8_t Finished = 0x00;
} // namespace

int VirtualLinLamp::count(std::uint8_t command) const {
    return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                          [command](const auto& r) { return r[0] == command; }));
}

bool VirtualLinLamp::passThrough(const QByteArray& payload, QByteArray& reply) {
    reply.clear();
    const auto* p = reinterpret_cast<const std::uint8_t*>(payload.constData());
    if (payload.size() == 9 && p[0] == MasterRequest) {
        std::array<std::uint8_t, 8> data{};
        std::copy(p + 1, p + 9, data.begin());
        requests.push_back(data);
        hasResponse_ = false;
        if (noResponse == 0)
            answer(data);
        else if (noResponse > 0)
            --noResponse;
        step_ = Step::Request;
        busy_ = busyPolls;
        return true;
    }
    if (payload.size() == 1 && p[0] == FetchResponse) {
        step_ = Step::Fetch;
        busy_ = busyPolls;
        return true;
    }
    if (!payload.isEmpty())
        return false;

    ++polls;
    if (busy_ > 0 || (step_ == Step::Fetch && fetchNeverEnds)) {
        if (busy_ > 0)
            --busy_;
        reply.append(static_cast<char>(StillWorking));
        return true;
    }
    if (step_ != Step::Fetch || !hasResponse_) {
        reply.append(step_ == Step::Request ? requestPollBytes : 1, static_cast<char>(Finished));
        return true;
    }
    // The response as the controller hands it on: 9, the 8 data bytes, the LIN checksum.
    unsigned sum = 0;
    reply.append(static_cast<char>(9));
    for (const std::uint8_t b : response_) {
        reply.append(static_cast<char>(b));
        sum += b;
        if (sum > 0xFF)
            sum -= 0xFF;
    }
    reply.append(static_cast<char>(~sum & 0xFF));
    if (patch.command == responseCommand_)
        reply[patch.at] = static_cast<char>(patch.value);
    return true;
}

long long MarkedVersion(const QByteArray& image) {
    const qsizetype at = image.indexOf(VersionMark);
    if (at < 0 || at + 8 > image.size())
        return -1;
    return GetU32le(reinterpret_cast<const std::uint8_t*>(image.constData()) + at + 4);
}

void VirtualLinLamp::answer(const std::array<std::uint8_t, 8>& data) {
    const std::uint8_t command = data[0];
    std::array<std::uint8_t, 8> r{};
    r.fill(0xFF);
    r[0] = static_cast<std::uint8_t>(command | 0x40);
    switch (command) {
    case 0x80:
        r[1] = 6;
        PutU16le(&r[2], bootVersion);
        PutU16le(&r[4], appVersion);
        r[6] = deviceType;
        r[7] = boardType;
        break;
    case 0x81:
        r[1] = 4;
        PutU32le(&r[2], serialNumber);
        break;
    case 0x82:
        r[1] = 6;
        std::copy(params.begin(), params.end(), r.begin() + 2);
        break;
    case 0x83:
        std::copy(data.begin() + 2, data.end(), params.begin());
        r[1] = 6;
        std::copy(params.begin(), params.end(), r.begin() + 2);
        break;
    case 0x84:
        programming_ = true;
        r[1] = 0;
        break;
    case 0x85:
        // The lamp starts what it was given.
        if (programming_ && MarkedVersion(flash) >= 0)
            appVersion = static_cast<std::uint16_t>(MarkedVersion(flash));
        programming_ = false;
        r[1] = 0;
        break;
    case 0x86: {
        const int block = GetU16le(&data[2]);
        std::uint8_t status = 0;
        if (!programming_)
            status = 2;
        else if (block == badStatusBlock)
            status = 1;
        if (status == 0) {
            const int at = 4 * block;
            if (flash.size() < at + 4)
                flash.resize(at + 4, '\xFF');
            for (int i = 0; i < 4; ++i)
                flash[at + i] = static_cast<char>(data[static_cast<std::size_t>(4 + i)]);
        }
        r[1] = 3;
        r[2] = data[2];
        r[3] = blockLowByteOnly ? 0 : data[3];
        r[4] = status;
        break;
    }
    default:
        return; // an unknown command gets no response
    }
    if (command == wrongCodeCommand)
        r[0] = static_cast<std::uint8_t>(r[0] ^ 0x01);
    response_ = r;
    responseCommand_ = command;
    hasResponse_ = true;
}

} // namespace korvex::sim
