// The serial transport over a real port (QSerialPort).
#pragma once

#include "SerialTransport.h"

#include <memory>

class QSerialPort;

namespace korvex {

class QtSerialTransport final : public SerialTransport {
public:
    QtSerialTransport();
    ~QtSerialTransport() override;

    bool open(const QString& portName) override;
    void close() override;
    bool isOpen() const override;
    int write(const std::uint8_t* data, int count) override;
    int read(std::uint8_t* buffer, int capacity) override;
    void purge() override;
    bool waitForData(int ms) override;
    PortDiagnosis diagnoseOpenFailure() const override;

private:
    bool portFailed() const;

    std::unique_ptr<QSerialPort> port_;
    OpenError openError_ = OpenError::None;
};

} // namespace korvex
