// The whole-write device of the standard streams.
#include "LineOutput.h"

#include "CliPlatform.h"

#include <utility>

namespace korvex::cli {

LineOutput::LineOutput(Sink sink) : sink_(std::move(sink)) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 LineOutput::readData(char*, qint64) {
    return -1;
}

qint64 LineOutput::writeData(const char* data, qint64 size) {
    if (size <= 0)
        return 0;
    return sink_(QByteArray::fromRawData(data, size)) ? size : -1;
}

LineOutput::Sink DescriptorSink(int fd) {
    return [fd](const QByteArray& bytes) { return WriteWhole(fd, bytes); };
}

} // namespace korvex::cli
