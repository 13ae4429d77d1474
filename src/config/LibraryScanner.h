// The library folder listed off the user-interface thread and again every interval, so that the
// list follows the disk without a restart and a slow or stuck folder never stops the window.
#pragma once

#include "config/ConfigLibrary.h"

#include <QObject>
#include <QTimer>

class QThread;

namespace korvex {

// Lists on its own thread; what it finds it only signals, so that a look that hangs on a removed
// share can outlive the scanner without touching it.
class LibraryWorker final : public QObject {
    Q_OBJECT
public:
    void List(const QString& folder, int language, quint64 generation) {
        emit listed(index_.List(folder, language), generation);
    }

signals:
    void listed(const korvex::LibraryListing& listing, quint64 generation);

private:
    LibraryIndex index_;
};

class LibraryScanner final : public QObject {
    Q_OBJECT
public:
    static constexpr int RescanMs = 700;
    // How long closing waits for a look under way; a share that hangs longer is left behind.
    static constexpr int StopWaitMs = 2000;

    explicit LibraryScanner(QObject* parent = nullptr);
    ~LibraryScanner() override;

    // Lists `folder` from now on; empty stops listing.
    void SetFolder(const QString& folder);
    const QString& folder() const { return folder_; }
    // The language of the summaries; a change describes every file again.
    void SetLanguage(int language);
    // Paused, it looks at the folder no more until resumed, when it looks at once.
    void SetPaused(bool paused);
    // The latest listing of the folder.
    const LibraryListing& listing() const { return listing_; }
    // Looks again now (or as soon as the listing in progress ends).
    void Rescan();

signals:
    // The listing differs from the one before.
    void listed();

private:
    void Arrived(const LibraryListing& listing, quint64 generation);

    QString folder_;
    int language_ = 1;
    LibraryListing listing_;
    QThread* thread_;
    LibraryWorker* worker_;
    QTimer timer_;
    quint64 generation_ = 0;
    bool running_ = false;
    bool again_ = false;
    bool paused_ = false;
};

} // namespace korvex

Q_DECLARE_METATYPE(korvex::LibraryListing)
