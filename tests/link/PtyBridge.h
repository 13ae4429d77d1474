// A pseudo-terminal pair whose far end is served by a virtual controller on its own thread, so
// that the real serial port code can be tested without hardware. POSIX only.
#pragma once

#include "sim/VirtualController.h"

#include <QString>

#include <atomic>
#include <thread>

namespace korvex::test {

class PtyBridge {
public:
    PtyBridge();
    ~PtyBridge();
    bool ok() const { return master_ >= 0; }
    QString devicePath() const { return path_; }
    // The controller may be touched only while the bridge is stopped.
    sim::VirtualController& controller() { return controller_; }
    void start();
    void stop();
    // Closes the far end, as when the converter is pulled out.
    void hangUp();
    // True once the controller has been sent a request of `command` (set before start): the
    // program is then in the middle of that exchange, whatever the machine's load.
    void watchFor(int command) { watchedCommand_ = command; }
    bool reached() const { return reached_; }

private:
    void run();

    sim::VirtualController controller_;
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::atomic<bool> running_{false};
    int watchedCommand_ = -1;
    std::atomic<bool> reached_{false};
    std::thread thread_;
};

} // namespace korvex::test
