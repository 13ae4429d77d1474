// Finding the candidate ports of the controller's USB-serial converter.
#pragma once

#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

namespace korvex {

class PortFinder {
public:
    virtual ~PortFinder() = default;
    // The candidate ports, in the system's order.
    virtual QStringList findPorts() = 0;
};

// One serial port as the system lists it.
struct SystemPort {
    QString portName;
    std::optional<quint16> vendor;
    std::optional<quint16> product;
};
using SystemPortLister = std::function<QList<SystemPort>()>;

// The system's serial ports, through QSerialPortInfo.
QList<SystemPort> AvailableSystemPorts();

// The ports of converters with USB vendor 1A86 and product 7523, by the system's port name
// (COM7 on Windows, ttyUSB0 on Linux).
class UsbPortFinder final : public PortFinder {
public:
    // `lister` stands in for the system's port list (tests); by default the system's own.
    explicit UsbPortFinder(SystemPortLister lister = AvailableSystemPorts)
        : lister_(std::move(lister)) {}
    QStringList findPorts() override;

private:
    SystemPortLister lister_;
};

// A fixed list: one port named by the user, or the virtual controller's port.
class FixedPortFinder final : public PortFinder {
public:
    explicit FixedPortFinder(QStringList ports) : ports_(std::move(ports)) {}
    QStringList findPorts() override { return ports_; }
    void setPorts(QStringList ports) { ports_ = std::move(ports); }

private:
    QStringList ports_;
};

} // namespace korvex
