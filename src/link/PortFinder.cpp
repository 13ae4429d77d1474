// Port discovery through QSerialPortInfo.
#include "PortFinder.h"

#include <QSerialPortInfo>

namespace korvex {

namespace {
constexpr quint16 ConverterVendor = 0x1A86;
constexpr quint16 ConverterProduct = 0x7523;
} // namespace

QStringList UsbPortFinder::findPorts() {
    QStringList ports;
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        if (info.hasVendorIdentifier() && info.hasProductIdentifier() &&
            info.vendorIdentifier() == ConverterVendor &&
            info.productIdentifier() == ConverterProduct && !info.portName().isEmpty())
            ports.append(info.portName());
    }
    return ports;
}

} // namespace korvex
