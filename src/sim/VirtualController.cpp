// The virtual controller: a request parser, the controller's memory areas and its replies.
#include "VirtualController.h"

#include "link/Frame.h"
#include "link/FrameProtocol.h"
#include "link/LittleEndian.h"

#include <algorithm>
#include <cstring>

namespace korvex::sim {

namespace {
constexpr std::uint16_t KeyPendingBit = 1u << 14;
constexpr std::uint16_t TextPendingBit = 1u << 15;
constexpr int BootEntryMs = 300;
constexpr int FirmwareAreaSize = 0x10000;
constexpr std::uint32_t DemoFirstKeyMs = 300;

void PutName(std::array<std::uint8_t, ConfigSize>& c, int entry, const char* name) {
    std::memcpy(&c[static_cast<std::size_t>(33 * entry)], name,
                std::min<std::size_t>(10, std::strlen(name)));
}
} // namespace

std::array<std::uint8_t, ConfigSize> FactoryConfiguration() {
    std::array<std::uint8_t, ConfigSize> c{};
    // Two ready-made entries: a LIN key that steps the source, and one that raises output 1.
    PutName(c, 0, "SRC");
    c[10] = 1;  // event: LIN key
    c[12] = 33; //   key row "MODE"
    c[19] = 1;  //   short press
    c[21] = 4;  // reaction: source
    c[22] = 0;  //   next
    PutName(c, 1, "VOL+");
    c[33 + 10] = 1;
    c[33 + 12] = 12;            //   "VOL UP"
    c[33 + 19] = 3;             // any press
    c[33 + 21] = 3;             // reaction: radio control
    PutU16le(&c[33 + 22], 120); // 1.20 V
    PutU16le(&c[33 + 24], 330); // 3.30 V
    PutU16le(&c[33 + 26], 200);
    c[33 + 30] = 1; // output 2: not touch
    // Parameter blocks.
    c[1990] = 4;              // 19200 Bit/s
    PutU16le(&c[1996], 1000); // long press over 1000 ms
    c[1998] = 3;              // four sources
    c[1999] = 1;              // LIN 2.0
    PutU16le(&c[2003], 330);  // VOUT1 3.30 V
    PutU16le(&c[2005], 330);  // VOUT2 3.30 V
    PutU16le(&c[2007], 50);   // range 0.50 .. 3.30 V
    PutU16le(&c[2009], 50);
    c[2012] = 100; // backlight: day 100 %, minimum 5 %, maximum 50 %
    c[2013] = 5;
    c[2014] = 50;
    return c;
}

VirtualController::VirtualController() : config(FactoryConfiguration()) {}

void VirtualController::pressKey(std::uint8_t code, bool recordEvent, std::uint8_t flag) {
    keys_.push_back({code, recordEvent, flag});
}

void VirtualController::demoStep(std::uint32_t now) {
    if (!demoStarted_) {
        // A greeting at once and the first key soon, so that even a short look sees both.
        demoStarted_ = true;
        terminalOut_ += "KORVEX-SWC-ADP: LIN 1 ready, LIN 2 ready\r\n";
        nextDemo_ = now + DemoFirstKeyMs;
        return;
    }
    if (static_cast<std::int32_t>(now - nextDemo_) < 0)
        return;
    nextDemo_ = now + static_cast<std::uint32_t>(demoActivityMs);
    // A few keys of a steering wheel, in turn; every second time the controller reports it.
    static constexpr std::uint8_t Keys[] = {12, 13, 14, 11, 16, 22, 23};
    const std::uint8_t key = Keys[demoCount_ % std::size(Keys)];
    if (demoCount_ % 2 == 0)
        pressKey(key);
    else
        terminalOut_ += QByteArray(" LIN 1 EV:") + QByteArray::number(key) + " U=12.6V\r\n";
    ++demoCount_;
}

void VirtualController::setLastEvent(std::uint8_t kind, std::uint8_t flag, std::uint8_t code) {
    lastEvent_ = {kind, flag, code};
}

void VirtualController::clearLog() {
    requests.clear();
    wireIn.clear();
    opens.clear();
    terminalIn.clear();
}

std::array<std::uint8_t, 50> VirtualController::identity() const {
    std::array<std::uint8_t, 50> id{};
    PutU32le(&id[0], appVersion);
    PutU32le(&id[4], serialNumber);
    PutU32le(&id[8], bootVersion);
    PutU32le(&id[12], deviceType);
    const QByteArray name =
        (bootloaderMode ? QStringLiteral("KORVEX-SWC-ADP-BOOT") : applicationName).toLatin1();
    std::memcpy(&id[16], name.constData(),
                static_cast<std::size_t>(std::min<qsizetype>(31, name.size())));
    std::uint16_t status = currentSource;
    if (!keys_.empty())
        status |= KeyPendingBit;
    if (!terminalOut_.isEmpty())
        status |= TextPendingBit;
    PutU16le(&id[48], status);
    return id;
}

void VirtualController::receive(const std::uint8_t* data, int count, std::uint32_t now) {
    if (keepLog)
        wireIn.append(reinterpret_cast<const char*>(data), count);
    for (int i = 0; i < count; ++i) {
        const std::uint8_t b = data[i];
        if (hunting_) {
            if (b == FrameStartByte) {
                hunting_ = false;
                frame_.clear();
            }
            continue;
        }
        frame_.push_back(b);
        if (frame_.size() == 4 && b > FrameMaxPayload) {
            hunting_ = true; // a request the controller cannot hold: wait for the next one
            continue;
        }
        if (frame_.size() >= 5 && frame_.size() == static_cast<std::size_t>(frame_[3]) + 5) {
            hunting_ = true;
            handleFrame(now);
        }
    }
}

int VirtualController::takeWrite(const std::uint8_t* data, int count, std::uint32_t now) {
    int taken = count;
    if (count >= 2 && data[0] == FrameStartByte) {
        const auto rule =
            TakeFault(faults, data[1], [](Fault f) { return f == Fault::PartialWrite; });
        if (rule)
            taken = std::clamp(rule->param, 0, count);
    }
    receive(data, taken, now);
    // The controller's own receive time-out drops the fragment before the next request comes.
    if (taken < count)
        hunting_ = true;
    return taken;
}

bool VirtualController::transferComplete() const {
    // The tool ends every transfer with the image's CRC and 62 zero bytes; a transfer that broke
    // off inside the image does not end so.
    constexpr int Zeros = 62;
    if (transferEnd_ < Zeros + 2 || transferEnd_ > firmware.size())
        return false;
    return std::all_of(firmware.begin() + (transferEnd_ - Zeros), firmware.begin() + transferEnd_,
                       [](char b) { return b == 0; });
}

void VirtualController::handleFrame(std::uint32_t now) {
    const std::size_t len = frame_[3];
    const std::uint8_t cmd = frame_[0];
    const std::uint16_t offset = GetU16le(&frame_[1]);
    const QByteArray payload(reinterpret_cast<const char*>(&frame_[4]),
                             static_cast<qsizetype>(len));
    const bool checkOk = FrameCheck(0, frame_.data(), static_cast<int>(len + 4)) == frame_[len + 4];
    const LoggedRequest request{currentPort_, cmd, offset, payload, checkOk};
    if (keepLog)
        requests.push_back(request);
    if (onRequest)
        onRequest(request);
    // A request with a bad check byte is ignored, as the line may have dropped a byte.
    if (!checkOk)
        return;

    if (!plugged_ || (!answerOn.isEmpty() && answerOn != currentPort_))
        return;
    if (silent_ && static_cast<std::int32_t>(now - silentUntil_) < 0)
        return;
    silent_ = false;
    // A bootloader that took a whole image starts the application at the first other request,
    // and is silent while it restarts. After a transfer that broke off it stays, for the next
    // attempt.
    if (bootloaderMode && cmd != 0x82 && transferComplete()) {
        bootloaderMode = false;
        // It runs what it was given: the image before the CRC and the 62 zero bytes.
        if (const long long version = MarkedVersion(firmware.left(transferEnd_ - 64)); version >= 0)
            appVersion = static_cast<std::uint32_t>(version);
        transferEnd_ = -1;
        silent_ = true;
        silentUntil_ = now + BootEntryMs;
        return;
    }

    // Each request is spoiled by at most one fault, the first rule that matches it; a late reply
    // may in addition be spoiled by the next one.
    const auto notOnTheLine = [](Fault f) { return f != Fault::PartialWrite; };
    std::optional<FaultRule> rule = TakeFault(faults, cmd, notOnTheLine);
    bool late = false;
    int lateMs = 0;
    if (rule && rule->fault == Fault::LateReply) {
        late = true;
        lateMs = std::max(0, rule->param);
        rule = TakeFault(faults, cmd,
                         [&](Fault f) { return notOnTheLine(f) && f != Fault::LateReply; });
    }
    const Fault fault = rule ? rule->fault : Fault{};
    const int param = rule ? std::max(0, rule->param) : 0;
    if (rule && fault == Fault::NoReply)
        return;
    QByteArray reply = rule ? ReplyInsteadOf(*rule, cmd, offset, bootloaderMode) : QByteArray();
    if (reply.isEmpty()) {
        reply = answer(cmd, offset, payload, now);
        if (reply.isEmpty())
            return;
        if (rule)
            reply = SpoilReply(*rule, cmd, offset, reply);
    }

    std::uint32_t due = now;
    if (emulateLineTime) // 10 bits a byte at 115200 baud, request and reply
        due += static_cast<std::uint32_t>((len + 6 + static_cast<std::size_t>(reply.size())) * 10 *
                                          1000 / 115200);
    if (rule && fault == Fault::Delay)
        due += static_cast<std::uint32_t>(param);
    due += static_cast<std::uint32_t>(lateMs);
    if (rule && fault == Fault::PauseMidReply) {
        const qsizetype half = reply.size() / 2;
        output_.push_back({due, reply.left(half), late});
        output_.push_back({due + static_cast<std::uint32_t>(param), reply.mid(half), late});
        return;
    }
    output_.push_back({due, reply, late});
}

QByteArray VirtualController::answer(std::uint8_t cmd, std::uint16_t offset,
                                     const QByteArray& payload, std::uint32_t now) {
    const auto ack = [&] { return BuildReply(StatusAck, offset, {}); };
    const auto refuse = [&] { return BuildReply(StatusBadParams, offset, {}); };
    const auto data = [&](const QByteArray& bytes) {
        return BuildReply(static_cast<std::uint8_t>(cmd | 0x80), offset, bytes);
    };
    const int chunk = std::clamp(readChunk, 1, FrameMaxPayload);

    switch (cmd) {
    case 0x01: {
        if (demoActivity)
            demoStep(now);
        const auto id = identity();
        return data(QByteArray(reinterpret_cast<const char*>(id.data()),
                               std::clamp(identityLength, 0, 50)));
    }
    case 0x05: {
        if (bootloaderMode)
            return refuse();
        const QByteArray text = terminalOut_.left(chunk);
        terminalOut_.remove(0, text.size());
        return data(text);
    }
    case 0x10: {
        if (bootloaderMode)
            return refuse();
        const int n = std::clamp(ConfigSize - offset, 0, chunk);
        return data(QByteArray(
            reinterpret_cast<const char*>(config.data()) + std::min<int>(offset, ConfigSize), n));
    }
    case 0x17:
        return BuildReply(0x97, offset,
                          QByteArray(reinterpret_cast<const char*>(lastEvent_.data()), 3));
    case 0x18: {
        QByteArray notice(3, '\0');
        if (!keys_.empty()) {
            notice[0] = 1;
            notice[1] = static_cast<char>(keys_.front().flag);
            notice[2] = static_cast<char>(keys_.front().code);
            if (keys_.front().recordEvent)
                lastEvent_ = {1, 1, keys_.front().code};
            keys_.pop_front();
        }
        return BuildReply(0x98, offset, notice);
    }
    case 0x82: {
        if (!bootloaderMode) {
            // The application hands over to its bootloader and is silent while it restarts.
            bootloaderMode = true;
            silent_ = true;
            silentUntil_ = now + BootEntryMs;
            return {};
        }
        if (offset + payload.size() > FirmwareAreaSize)
            return refuse();
        if (firmware.size() < offset + payload.size())
            firmware.resize(offset + payload.size(), '\0');
        std::memcpy(firmware.data() + offset, payload.constData(),
                    static_cast<std::size_t>(payload.size()));
        // A transfer starts at offset 0 and runs on chunk by chunk.
        if (offset == 0)
            transferEnd_ = 0;
        transferEnd_ =
            transferEnd_ == offset ? transferEnd_ + static_cast<int>(payload.size()) : -1;
        return ack();
    }
    case 0x83: {
        ++restarts;
        keys_.clear();
        terminalOut_.clear();
        if (restartSilenceMs > 0) {
            silent_ = true;
            silentUntil_ = now + static_cast<std::uint32_t>(restartSilenceMs);
        }
        return ack();
    }
    case 0x84:
        if (bootloaderMode)
            return refuse();
        ++defaultsResets;
        config = FactoryConfiguration();
        return ack();
    case 0x85: {
        if (bootloaderMode)
            return refuse();
        const QByteArray line =
            payload.left(payload.indexOf('\0') >= 0 ? payload.indexOf('\0') : payload.size());
        if (keepLog)
            terminalIn.append(line);
        terminalOut_ += "> " + line + "\r\n";
        return ack();
    }
    case 0x87: {
        QByteArray lin;
        return linLamp.passThrough(payload, lin) ? data(lin) : refuse();
    }
    case 0x90: {
        if (bootloaderMode || offset + payload.size() > ConfigSize)
            return refuse();
        std::memcpy(config.data() + offset, payload.constData(),
                    static_cast<std::size_t>(payload.size()));
        return ack();
    }
    default:
        return refuse();
    }
}

int VirtualController::takeOutput(std::uint8_t* out, int capacity, std::uint32_t now) {
    int n = 0;
    while (n < capacity && !output_.empty() &&
           static_cast<std::int32_t>(now - output_.front().due) >= 0) {
        Pending& head = output_.front();
        const int take = std::min<int>(capacity - n, static_cast<int>(head.bytes.size()));
        std::memcpy(out + n, head.bytes.constData(), static_cast<std::size_t>(take));
        n += take;
        head.bytes.remove(0, take);
        if (head.bytes.isEmpty())
            output_.pop_front();
    }
    return n;
}

void VirtualController::purgeOutput(std::uint32_t now) {
    // Replies behind a late one are not on the line yet either.
    const auto inFlight = std::find_if(output_.begin(), output_.end(), [now](const Pending& p) {
        return p.late && static_cast<std::int32_t>(now - p.due) < 0;
    });
    output_.erase(output_.begin(), inFlight);
}

int VirtualController::msUntilOutput(std::uint32_t now) const {
    if (output_.empty())
        return -1;
    const auto wait = static_cast<std::int32_t>(output_.front().due - now);
    return wait > 0 ? wait : 0;
}

} // namespace korvex::sim
