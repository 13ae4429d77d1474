// The controller's replies: fuzzer bytes arrive in reads of fuzzer-chosen sizes and go through
// the frame protocol, memory reads, the connection probe, the notices and the terminal. Time is
// a manual clock, so every time-out is free.
#include "FuzzSupport.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "host/Clock.h"
#include "host/MonitorState.h"
#include "host/QuietHost.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "link/Notifications.h"
#include "link/PortFinder.h"
#include "link/SerialTransport.h"
#include "link/Terminal.h"
#include "text/TextPair.h"

#include <algorithm>
#include <array>

using namespace korvex;

namespace {

// A port whose replies are the fuzzer's bytes: each wait brings the next piece.
class ReplayTransport final : public SerialTransport {
public:
    ReplayTransport(QByteArray bytes, std::array<std::uint8_t, 4> pieces, Clock& clock)
        : bytes_(std::move(bytes)), pieces_(pieces), clock_(clock) {}
    bool open(const QString&) override { return open_ = true; }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    int write(const std::uint8_t*, int count) override { return count; }
    int read(std::uint8_t* buffer, int capacity) override {
        const int piece = 1 + pieces_[reads_++ % pieces_.size()] % 80;
        const int n = std::min({capacity, piece, static_cast<int>(bytes_.size() - pos_)});
        std::copy_n(bytes_.constData() + pos_, n, buffer);
        pos_ += n;
        return n;
    }
    void purge() override {}
    bool waitForData(int ms) override {
        if (pos_ < bytes_.size())
            return true;
        clock_.Sleep(ms);
        return false;
    }

private:
    QByteArray bytes_;
    std::array<std::uint8_t, 4> pieces_;
    Clock& clock_;
    qsizetype pos_ = 0;
    unsigned reads_ = 0;
    bool open_ = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const std::array<std::uint8_t, 4> pieces{in.byte(), in.byte(), in.byte(), in.byte()};
    const std::uint8_t order = in.byte();
    ManualClock clock;
    QuietHost host;
    host.clock = &clock;
    ReplayTransport transport(in.rest(), pieces, clock);
    FixedPortFinder finder({QStringLiteral("FUZZ")});
    MonitorState monitor;
    LanguageState language;
    DeviceLink link(transport, finder, host, monitor, language);
    ConfigImage image;
    ConfigTransfer transfer(link.device, host, image, monitor, language, link.ports);
    Terminal terminal(link.device, transfer, monitor, link.state, host, language);

    IdentityRecord id;
    link.device.ComProbe(id);
    link.serial.ComConnect();
    monitor.controllerConnected = true;
    // The order of the later steps varies, so that each meets the stream in every state.
    for (int step = 0; step < 6; ++step) {
        switch ((order + step) % 6) {
        case 0: {
            Frame frame = Frame::request(0x01, 0);
            link.frames.FrameTransact(frame);
            break;
        }
        case 1: {
            std::uint8_t buffer[199];
            int count = 0;
            link.device.DeviceRead(area::Configuration, 0, buffer, sizeof buffer, &count);
            break;
        }
        case 2: {
            std::array<std::uint8_t, ConfigImageSize> block{};
            link.device.DeviceReadBlock(area::Configuration, 0, block.data(), ConfigImageSize);
            break;
        }
        case 3: {
            Frame reply;
            if (ReadEventNotice(link.frames, reply) == 0)
                StoreCapturedEvent(image, reply, order % EntryCount);
            KeyPressText(reply, LangEnglish);
            break;
        }
        case 4:
            terminal.ReadTerminalText();
            break;
        default:
            link.device.ReadIdentity(id);
            break;
        }
    }
    return 0;
}
