// In-process bytes to and from the virtual controller. Waiting sleeps until the controller's
// next byte is due, as a real port would, on the clock it is given.
#include "VirtualTransport.h"

#include "VirtualController.h"

#include <algorithm>

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
    return controller_.takeWrite(data, count, clock_.Now());
}

int VirtualTransport::read(std::uint8_t* buffer, int capacity) {
    if (!open_ || !controller_.plugged())
        return 0;
    if (maxBytesPerRead > 0)
        capacity = std::min(capacity, maxBytesPerRead);
    return controller_.takeOutput(buffer, capacity, clock_.Now());
}

void VirtualTransport::purge() {
    if (open_)
        controller_.purgeOutput(clock_.Now());
}

bool VirtualTransport::waitForData(int ms) {
    if (!open_ || ms < 0)
        return false;
    const int due = controller_.plugged() ? controller_.msUntilOutput(clock_.Now()) : -1;
    if (due == 0)
        return true;
    if (due > 0 && due <= ms) {
        clock_.Sleep(due);
        return true;
    }
    clock_.Sleep(ms);
    return false;
}

QStringList VirtualPortFinder::findPorts() {
    return controller_.plugged() ? controller_.ports : QStringList{};
}

} // namespace korvex::sim
