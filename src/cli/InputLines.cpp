// The reader of standard input.
#include "InputLines.h"

#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace korvex::cli {

namespace {

struct Shared {
    std::mutex lock;
    QStringList lines;
    bool ended = false;
};

} // namespace

std::function<QStringList(bool&)> StandardInputLines() {
    auto shared = std::make_shared<Shared>();
    // Detached: a read blocked on a terminal must not keep the program from ending.
    std::thread([shared] {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const std::lock_guard<std::mutex> guard(shared->lock);
            shared->lines.append(QString::fromStdString(line));
        }
        const std::lock_guard<std::mutex> guard(shared->lock);
        shared->ended = true;
    }).detach();
    return [shared](bool& closed) {
        const std::lock_guard<std::mutex> guard(shared->lock);
        QStringList lines;
        lines.swap(shared->lines);
        closed = shared->ended;
        return lines;
    };
}

} // namespace korvex::cli
