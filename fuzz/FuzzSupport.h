// What the fuzz targets share: the input split into parts, and a scratch file for the loaders
// that read from a path.
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace korvex::fuzz {

// Reads the input from the front: a few control bytes first, the rest as data.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    QByteArray rest() {
        const QByteArray all(reinterpret_cast<const char*>(data_ + pos_),
                             static_cast<qsizetype>(size_ - pos_));
        pos_ = size_;
        return all;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// A file of the given bytes for the loaders, in the temporary directory (one per process, so
// that fuzzing jobs side by side do not share it).
inline QString ScratchFile(const QByteArray& bytes, const char* suffix) {
    const QString path = QDir::temp().filePath(QStringLiteral("korvex-fuzz-%1%2")
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(QLatin1String(suffix)));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

} // namespace korvex::fuzz
