// The library scanner.
#include "LibraryScanner.h"

#include <QThread>

namespace korvex {

namespace {
bool SameListing(const LibraryListing& a, const LibraryListing& b) {
    if (a.root != b.root || a.problem != b.problem || a.files.size() != b.files.size() ||
        (!a.files.isEmpty() && a.files.first().language != b.files.first().language))
        return false;
    for (qsizetype i = 0; i < a.files.size(); ++i) {
        const LibraryFile& x = a.files.at(i);
        const LibraryFile& y = b.files.at(i);
        if (x.path != y.path || x.size != y.size || x.modified != y.modified ||
            x.problem != y.problem)
            return false;
    }
    return true;
}
} // namespace

LibraryScanner::LibraryScanner(QObject* parent)
    : QObject(parent), thread_(new QThread), worker_(new LibraryWorker) {
    qRegisterMetaType<LibraryListing>();
    worker_->moveToThread(thread_);
    connect(thread_, &QThread::finished, worker_, &QObject::deleteLater);
    // Queued to this thread, and cut when this scanner goes.
    connect(worker_, &LibraryWorker::listed, this, &LibraryScanner::Arrived, Qt::QueuedConnection);
    thread_->start(QThread::LowPriority);
    timer_.setInterval(RescanMs);
    connect(&timer_, &QTimer::timeout, this, &LibraryScanner::Rescan);
}

LibraryScanner::~LibraryScanner() {
    thread_->quit();
    // A look that hangs on a removed drive must not hang the window's close: the thread is left
    // to end by itself, and what it finds goes nowhere.
    if (thread_->wait(StopWaitMs))
        delete thread_;
    else
        connect(thread_, &QThread::finished, thread_, &QObject::deleteLater);
}

void LibraryScanner::SetFolder(const QString& folder) {
    folder_ = folder;
    ++generation_;
    listing_ = {};
    if (folder.isEmpty()) {
        timer_.stop();
        emit listed();
        return;
    }
    if (!paused_)
        timer_.start();
    Rescan();
}

void LibraryScanner::SetPaused(bool paused) {
    paused_ = paused;
    if (paused) {
        timer_.stop();
        return;
    }
    if (!folder_.isEmpty()) {
        timer_.start();
        Rescan();
    }
}

void LibraryScanner::SetLanguage(int language) {
    if (language == language_)
        return;
    language_ = language;
    ++generation_; // a listing under way is in the old language
    Rescan();
}

void LibraryScanner::Rescan() {
    if (folder_.isEmpty() || paused_)
        return;
    if (running_) {
        again_ = true;
        return;
    }
    running_ = true;
    const QString folder = folder_;
    const int language = language_;
    const quint64 generation = generation_;
    LibraryWorker* worker = worker_;
    QMetaObject::invokeMethod(worker, [worker, folder, language, generation] {
        worker->List(folder, language, generation);
    });
}

void LibraryScanner::Arrived(const LibraryListing& listing, quint64 generation) {
    running_ = false;
    if (generation == generation_ && !SameListing(listing, listing_)) {
        listing_ = listing;
        emit listed();
    }
    if (again_ || generation != generation_) {
        again_ = false;
        Rescan();
    }
}

} // namespace korvex
