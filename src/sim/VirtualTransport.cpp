// In-process bytes to and from the virtual controller. Waiting sleeps until the controller's
// next byte is due, as a real port would.
#include "VirtualTransport.h"

#include "VirtualController.h"
#include "host/TickCount.h"

#include <algorithm>
#include <thread>

namespace korvex::sim {

bool VirtualTransport::open(const QString& portName) {
    open_ = false;
    if (!controller_.plugged() || !controller_.ports.contains(portName))
        return false;
    controller_.opens.append(portName);
    controller_.connectPort(portName);
    controller_.discardOutput();
    open_ = true;
    return true;
}

int VirtualTransport::write(const std::uint8_t* data, int count) {
    // An unplugged converter takes nothing.
    if (!open_ || !controller_.plugged() || count <= 0)
        return 0;
    return controller_.takeWrite(data, count, TickCount());
}

int VirtualTransport::read(std::uint8_t* buffer, int capacity) {
    if (!open_ || !controller_.plugged())
        return 0;
    if (maxBytesPerRead > 0)
        capacity = std::min(capacity, maxBytesPerRead);
    return controller_.takeOutput(buffer, capacity, TickCount());
}

void VirtualTransport::purge() {
    if (open_)
        controller_.purgeOutput(TickCount());
}

bool VirtualTransport::waitForData(int ms) {
    if (!open_ || ms < 0)
        return false;
    const int due = controller_.plugged() ? controller_.msUntilOutput(TickCount()) : -1;
    if (due == 0)
        return true;
    if (due > 0 && due <= ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(due));
        return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return false;
}

QStringList VirtualPortFinder::findPorts() {
    return controller_.plugged() ? controller_.ports : QStringList{};
}

} // namespace korvex::sim
