// The library folder listed off the user-interface thread and again every interval, so that the
// list follows the disk without a restart and a slow or stuck folder never stops the window.
#pragma once

#include "config/ConfigLibrary.h"

#include <QObject>
#include <QThread>
#include <QTimer>

namespace korvex {

class LibraryScanner final : public QObject {
    Q_OBJECT
public:
    static constexpr int RescanMs = 700;

    explicit LibraryScanner(QObject* parent = nullptr);
    ~LibraryScanner() override;

    // Lists `folder` from now on; empty stops listing.
    void SetFolder(const QString& folder);
    // The language of the summaries; a change describes every file again.
    void SetLanguage(int language);
    const QString& folder() const { return folder_; }
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
    QThread thread_;
    QObject* worker_;
    LibraryIndex index_; // used on the worker thread only
    QTimer timer_;
    quint64 generation_ = 0;
    bool running_ = false;
    bool again_ = false;
};

} // namespace korvex
