// Port discovery through QSerialPortInfo.
#include "PortFinder.h"

#include <QSerialPortInfo>

namespace korvex {

namespace {
constexpr quint16 ConverterVendor = 0x1A86;
constexpr quint16 ConverterProduct = 0x7523;
} // namespace

QList<SystemPort> AvailableSystemPorts() {
    QList<SystemPort> ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        SystemPort port{info.portName(), std::nullopt, std::nullopt};
        if (info.hasVendorIdentifier())
            port.vendor = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            port.product = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

QStringList UsbPortFinder::findPorts() {
    QStringList ports;
    const QList<SystemPort> listed = lister_ ? lister_() : QList<SystemPort>{};
    for (const SystemPort& port : listed) {
        if (port.vendor == ConverterVendor && port.product == ConverterProduct &&
            !port.portName.isEmpty())
            ports.append(port.portName);
    }
    return ports;
}

} // namespace korvex
