// Port choice and raw byte transfer.
#include "SerialLink.h"

#include "PortFinder.h"
#include "ResultText.h"
#include "SerialTransport.h"

namespace korvex {

int SerialLink::ComOpen(const QString& portName) {
    if (transport_.isOpen())
        transport_.close();
    if (transport_.open(portName)) {
        openFailure_ = PortDiagnosis{};
        return result::Ok;
    }
    openFailure_ = transport_.diagnoseOpenFailure();
    return result::Disconnected;
}

void SerialLink::ComClose() {
    if (transport_.isOpen())
        transport_.close();
}

int SerialLink::ComWrite(const std::uint8_t* data, int count) {
    if (!transport_.isOpen())
        return 0;
    return transport_.write(data, count);
}

int SerialLink::ComRead(std::uint8_t* buffer, int capacity) {
    if (!transport_.isOpen())
        return 0;
    return transport_.read(buffer, capacity);
}

void SerialLink::ComPurge() {
    if (transport_.isOpen())
        transport_.purge();
}

bool SerialLink::ComWaitForData(int ms) {
    return transport_.isOpen() && transport_.waitForData(ms);
}

bool SerialLink::ComIsOpen() const {
    return transport_.isOpen();
}

void SerialLink::ComFindPorts() {
    ports_.portList = finder_.findPorts();
}

int SerialLink::ComConnect() {
    if (transport_.isOpen())
        return result::Ok;
    ComFindPorts();
    if (ports_.portList.isEmpty()) {
        ports_.portName.clear();
        openFailure_ = PortDiagnosis{}; // nothing was opened, so nothing failed to open
        return result::Disconnected;
    }
    if (ports_.portIndex < 0 || ports_.portIndex >= ports_.portList.size())
        ports_.portIndex = 0;
    ports_.portName = ports_.portList.at(ports_.portIndex);
    return ComOpen(ports_.portName);
}

} // namespace korvex
