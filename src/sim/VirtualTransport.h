// The serial transport and port list of the virtual controller, in-process.
#pragma once

#include "host/Clock.h"
#include "link/PortFinder.h"
#include "link/SerialTransport.h"

namespace korvex::sim {

class VirtualController;

class VirtualTransport final : public SerialTransport {
public:
    // Time is the given clock's: on a manual clock a reply that is late, or never comes, costs
    // no real time.
    explicit VirtualTransport(VirtualController& controller, Clock& clock = SystemClock())
        : controller_(controller), clock_(clock) {}

    bool open(const QString& portName) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    int write(const std::uint8_t* data, int count) override;
    int read(std::uint8_t* buffer, int capacity) override;
    void purge() override;
    bool waitForData(int ms) override;

    // At most this many bytes per read, to show that replies may arrive in pieces; 0 = no limit.
    int maxBytesPerRead = 0;

private:
    VirtualController& controller_;
    Clock& clock_;
    bool open_ = false;
};

// The ports of the virtual controller; none while it is unplugged.
class VirtualPortFinder final : public PortFinder {
public:
    explicit VirtualPortFinder(VirtualController& controller) : controller_(controller) {}
    QStringList findPorts() override;

private:
    VirtualController& controller_;
};

} // namespace korvex::sim
