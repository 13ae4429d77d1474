// The pseudo-terminal bridge to the virtual controller.
#include "PtyBridge.h"

#include "host/TickCount.h"

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace korvex::test {

PtyBridge::PtyBridge() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
        master_ = slave_ = -1;
        return;
    }
    // Raw mode on the tool's side so that no byte is translated.
    termios t{};
    tcgetattr(slave_, &t);
    cfmakeraw(&t);
    tcsetattr(slave_, TCSANOW, &t);
    path_ = QString::fromLocal8Bit(name);
    controller_.ports = QStringList{path_};
}

PtyBridge::~PtyBridge() {
    stop();
    if (master_ >= 0)
        ::close(master_);
    if (slave_ >= 0)
        ::close(slave_);
}

void PtyBridge::start() {
    if (running_ || master_ < 0)
        return;
    controller_.connectPort(path_);
    running_ = true;
    thread_ = std::thread([this] { run(); });
}

void PtyBridge::stop() {
    running_ = false;
    if (thread_.joinable())
        thread_.join();
}

void PtyBridge::hangUp() {
    stop();
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

void PtyBridge::run() {
    std::uint8_t buf[512];
    while (running_) {
        const int due = controller_.msUntilOutput(TickCount());
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, due < 0 ? 5 : std::min(due, 5));
        if (p.revents & POLLIN) {
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0)
                controller_.receive(buf, static_cast<int>(n), TickCount());
        }
        if (!reached_ && watchedCommand_ >= 0 &&
            std::any_of(controller_.requests.begin(), controller_.requests.end(),
                        [this](const auto& r) { return r.cmd == watchedCommand_; }))
            reached_ = true;
        const int out = controller_.takeOutput(buf, sizeof buf, TickCount());
        if (out > 0 && ::write(master_, buf, static_cast<std::size_t>(out)) != out)
            break;
    }
}

} // namespace korvex::test
