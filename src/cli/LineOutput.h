// The tool's standard output and error as devices that hand on each write of their text stream
// (a line at Qt::endl, the rest at a flush) in one call: a console decodes what each call brings,
// so a letter split between two calls shows as two boxes.
#pragma once

#include <QByteArray>
#include <QIODevice>

#include <functional>

namespace korvex::cli {

class LineOutput final : public QIODevice {
public:
    // Gets each write whole; false when the system refused it.
    using Sink = std::function<bool(const QByteArray&)>;
    explicit LineOutput(Sink sink);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    Sink sink_;
};

// A sink onto an open file descriptor (1, 2, a pipe's end).
LineOutput::Sink DescriptorSink(int fd);

} // namespace korvex::cli
