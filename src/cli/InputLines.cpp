// The reader of standard input.
#include "InputLines.h"

#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace korvex::cli {

namespace {

// Bounds of what is held: a line longer than any the controller takes is kept cut, and the
// reader waits while the queue is full, so endless input (a device file) costs no memory.
constexpr std::size_t MaxLineBytes = 4096;
constexpr qsizetype MaxQueuedLines = 64;
constexpr qsizetype LinesPerPoll = 8;

struct Shared {
    std::mutex lock;
    std::condition_variable room;
    QStringList lines;
    bool ended = false;
};

} // namespace

std::function<QStringList(bool&)> StandardInputLines() {
    auto shared = std::make_shared<Shared>();
    // Detached: a read blocked on a terminal must not keep the program from ending.
    std::thread([shared] {
        std::string line;
        bool more = true;
        while (more) {
            const int c = std::getc(stdin);
            more = c != EOF;
            if (more && c != '\n') {
                if (line.size() < MaxLineBytes)
                    line.push_back(static_cast<char>(c));
                continue;
            }
            if (!more && line.empty())
                break;
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            std::unique_lock<std::mutex> guard(shared->lock);
            shared->room.wait(guard, [&] { return shared->lines.size() < MaxQueuedLines; });
            shared->lines.append(QString::fromStdString(line));
            line.clear();
        }
        const std::lock_guard<std::mutex> guard(shared->lock);
        shared->ended = true;
    }).detach();
    return [shared](bool& closed) {
        const std::lock_guard<std::mutex> guard(shared->lock);
        const QStringList lines = shared->lines.mid(0, LinesPerPoll);
        shared->lines.remove(0, lines.size());
        shared->room.notify_one();
        closed = shared->ended && shared->lines.isEmpty();
        return lines;
    };
}

} // namespace korvex::cli
