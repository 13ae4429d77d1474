// The serial transport over a real port: 115200 8N1, no flow control, RTS and DTR dropped,
// reads that return at once and writes bounded to 50 ms.
#include "QtSerialTransport.h"

#include "host/TickCount.h"

#include <QSerialPort>

namespace korvex {

namespace {
constexpr int WriteLimitMs = 50;
}

QtSerialTransport::QtSerialTransport() : port_(std::make_unique<QSerialPort>()) {}

QtSerialTransport::~QtSerialTransport() {
    close();
}

bool QtSerialTransport::open(const QString& portName) {
    close();
    openError_ = OpenError::None;
    port_->setPortName(portName);
    if (!port_->open(QIODevice::ReadWrite)) {
        switch (port_->error()) {
        case QSerialPort::DeviceNotFoundError:
            openError_ = OpenError::NotFound;
            break;
        case QSerialPort::PermissionError:
            openError_ = OpenError::Refused;
            break;
        default:
            openError_ = OpenError::Other;
            break;
        }
        return false;
    }
    const bool configured =
        port_->setBaudRate(QSerialPort::Baud115200) && port_->setDataBits(QSerialPort::Data8) &&
        port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop) &&
        port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        port_->close();
        return false;
    }
    // RTS first, then DTR. A pseudo-terminal has neither line; their failure does not matter.
    port_->setRequestToSend(false);
    port_->setDataTerminalReady(false);
    port_->clearError();
    return true;
}

PortDiagnosis QtSerialTransport::diagnoseOpenFailure() const {
    return DiagnosePort(port_->portName(), openError_, SystemView{});
}

void QtSerialTransport::close() {
    if (port_->isOpen())
        port_->close();
    port_->clearError();
}

bool QtSerialTransport::isOpen() const {
    return port_->isOpen();
}

// A port whose device went away (an unplugged converter) keeps reporting a resource error.
bool QtSerialTransport::portFailed() const {
    return port_->error() == QSerialPort::ResourceError ||
           port_->error() == QSerialPort::PermissionError;
}

int QtSerialTransport::write(const std::uint8_t* data, int count) {
    if (!port_->isOpen() || count <= 0)
        return 0;
    const qint64 queued = port_->write(reinterpret_cast<const char*>(data), count);
    if (queued != count) {
        port_->clear(QSerialPort::Output);
        return 0;
    }
    const std::uint32_t start = TickCount();
    while (port_->bytesToWrite() > 0) {
        const int left = WriteLimitMs - static_cast<int>(TickCount() - start);
        if (left <= 0 || !port_->waitForBytesWritten(left)) {
            if (port_->bytesToWrite() == 0)
                break;
            // Cancel what is still pending, so nothing is left running across calls.
            const qint64 unsent = port_->bytesToWrite();
            port_->clear(QSerialPort::Output);
            if (portFailed())
                close();
            return static_cast<int>(count - unsent);
        }
    }
    return count;
}

int QtSerialTransport::read(std::uint8_t* buffer, int capacity) {
    if (!port_->isOpen() || capacity <= 0)
        return 0;
    if (port_->bytesAvailable() == 0) {
        // Fetch what the system has already received, without waiting.
        port_->waitForReadyRead(0);
        if (portFailed()) {
            close();
            return 0;
        }
    }
    const qint64 got = port_->read(reinterpret_cast<char*>(buffer), capacity);
    return got > 0 ? static_cast<int>(got) : 0;
}

void QtSerialTransport::purge() {
    if (port_->isOpen())
        port_->clear(QSerialPort::AllDirections);
}

bool QtSerialTransport::waitForData(int ms) {
    if (!port_->isOpen())
        return false;
    if (port_->bytesAvailable() > 0)
        return true;
    const bool ready = port_->waitForReadyRead(ms < 0 ? 0 : ms);
    if (!ready && portFailed())
        close();
    return ready;
}

} // namespace korvex
