// The hand-over of a file to the running instance.
#include "HandOver.h"

#include <QFile>
#include <QSocketNotifier>
#include <QThread>

#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#ifndef PIPE_REJECT_REMOTE_CLIENTS
#define PIPE_REJECT_REMOTE_CLIENTS 0x00000008
#endif
#else
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace korvex {

namespace {
// A file name is far shorter; anything longer is no sender of ours.
constexpr quint32 LongestName = 64 * 1024;
constexpr char Taken = 'K';
// A running window answers at once, from its event loop or its pipe's thread.
constexpr int AnswerWaitMs = 10000;
} // namespace

QByteArray HandOverMessage(const QString& fileName) {
    const QByteArray name = fileName.toUtf8();
    const auto length = static_cast<quint32>(name.size());
    QByteArray message;
    for (int i = 0; i < 4; ++i)
        message.append(static_cast<char>((length >> (8 * i)) & 0xFF));
    return message + name;
}

QString HandOverName(const QByteArray& buffer, bool* whole, bool* bad) {
    *whole = false;
    *bad = false;
    if (buffer.size() < 4)
        return {};
    quint32 length = 0;
    for (int i = 0; i < 4; ++i)
        length |= quint32(static_cast<unsigned char>(buffer[i])) << (8 * i);
    if (length > LongestName || buffer.size() > qsizetype(length) + 4) {
        *bad = true;
        return {};
    }
    if (buffer.size() < qsizetype(length) + 4)
        return {};
    *whole = true;
    return QString::fromUtf8(buffer.mid(4));
}

HandOver::HandOver(QObject* parent) : QObject(parent) {}

#ifdef Q_OS_WIN

HandOver::~HandOver() {
    if (thread_ == nullptr)
        return;
    stopping_ = true;
    // A connection of our own ends the thread's wait for a sender.
    const std::wstring name = address_.toStdWString();
    HANDLE wake = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (wake != INVALID_HANDLE_VALUE)
        CloseHandle(wake);
    thread_->wait();
    delete thread_;
    CloseHandle(static_cast<HANDLE>(pipe_));
}

bool HandOver::Listen(const QString& address) {
    address_ = address;
    const std::wstring name = address.toStdWString();
    HANDLE pipe = CreateNamedPipeW(
        name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_FIRST_PIPE_INSTANCE,
        PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 4096, 4096,
        0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    pipe_ = pipe;
    thread_ = QThread::create([this, pipe] {
        for (;;) {
            const bool connected =
                ConnectNamedPipe(pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED;
            if (stopping_)
                return;
            if (!connected && GetLastError() != ERROR_NO_DATA)
                return; // the pipe is broken: a second start shows its box as before
            QByteArray buffer;
            bool whole = false;
            bool bad = false;
            QString name;
            char chunk[4096];
            DWORD got = 0;
            while (connected && !whole && !bad &&
                   ReadFile(pipe, chunk, sizeof chunk, &got, nullptr) && got > 0) {
                buffer.append(chunk, static_cast<qsizetype>(got));
                name = HandOverName(buffer, &whole, &bad);
            }
            if (whole) {
                DWORD put = 0;
                WriteFile(pipe, &Taken, 1, &put, nullptr);
                FlushFileBuffers(pipe);
                emit received(name); // queued to the window's thread
            }
            DisconnectNamedPipe(pipe);
        }
    });
    thread_->start();
    return true;
}

bool HandOver::Send(const QString& address, const QString& fileName) {
    const std::wstring name = address.toStdWString();
    if (!WaitNamedPipeW(name.c_str(), AnswerWaitMs))
        return false;
    HANDLE pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (pipe == INVALID_HANDLE_VALUE)
        return false;
    const QByteArray message = HandOverMessage(fileName);
    DWORD put = 0;
    bool ok = WriteFile(pipe, message.constData(), static_cast<DWORD>(message.size()), &put,
                        nullptr) &&
              put == static_cast<DWORD>(message.size());
    char reply = 0;
    DWORD got = 0;
    ok = ok && ReadFile(pipe, &reply, 1, &got, nullptr) && got == 1 && reply == Taken;
    CloseHandle(pipe);
    return ok;
}

#else

namespace {
bool SocketAddress(const QString& address, sockaddr_un& to) {
    const QByteArray path = QFile::encodeName(address);
    if (path.isEmpty() || std::size_t(path.size()) >= sizeof to.sun_path)
        return false;
    to = {};
    to.sun_family = AF_UNIX;
    std::memcpy(to.sun_path, path.constData(), std::size_t(path.size()));
    return true;
}
} // namespace

HandOver::~HandOver() {
    if (listener_ < 0)
        return;
    delete notifier_;
    ::close(listener_);
    ::unlink(QFile::encodeName(address_).constData());
}

bool HandOver::Listen(const QString& address) {
    sockaddr_un at{};
    if (!SocketAddress(address, at))
        return false;
    // The lock is ours, so a socket left here is a crashed instance's.
    ::unlink(at.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at) != 0 ||
        ::chmod(at.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return false;
    }
    address_ = address;
    listener_ = fd;
    notifier_ = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Accept(); });
    return true;
}

void HandOver::Accept() {
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client < 0)
        return;
    // Read as it comes, never waiting in the event loop's thread for a slow sender.
    auto* reader = new QSocketNotifier(client, QSocketNotifier::Read, this);
    auto buffer = std::make_shared<QByteArray>();
    connect(reader, &QSocketNotifier::activated, this, [this, reader, buffer, client] {
        char chunk[4096];
        ssize_t got = 0;
        while ((got = ::read(client, chunk, sizeof chunk)) > 0)
            buffer->append(chunk, got);
        const bool waiting = got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        bool whole = false;
        bool bad = false;
        const QString name = HandOverName(*buffer, &whole, &bad);
        if (!whole && !bad && waiting)
            return; // more to come
        if (whole) {
            [[maybe_unused]] const auto put = ::send(client, &Taken, 1, MSG_NOSIGNAL);
        }
        reader->setEnabled(false);
        reader->deleteLater();
        ::close(client);
        if (whole)
            emit received(name);
    });
}

bool HandOver::Send(const QString& address, const QString& fileName) {
    sockaddr_un at{};
    if (!SocketAddress(address, at))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const QByteArray message = HandOverMessage(fileName);
    bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&at), sizeof at) == 0 &&
              ::send(fd, message.constData(), std::size_t(message.size()), MSG_NOSIGNAL) ==
                  ssize_t(message.size());
    pollfd answer{fd, POLLIN, 0};
    char reply = 0;
    ok = ok && ::poll(&answer, 1, AnswerWaitMs) == 1 && ::read(fd, &reply, 1) == 1 &&
         reply == Taken;
    ::close(fd);
    return ok;
}

#endif

} // namespace korvex
