// A file handed from a second start of the program to the one already running, so that the
// running window opens it (a double click on a file while the window is open). Linux: a socket
// in the user's runtime directory; Windows: a named pipe of the user's session. Only what the
// C library and the system offer is used: the Windows Qt has no network module.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>

class QSocketNotifier;
class QThread;

namespace korvex {

class HandOver final : public QObject {
    Q_OBJECT
public:
    explicit HandOver(QObject* parent = nullptr);
    ~HandOver() override;

    // Starts listening at `address`; only the instance that holds the single-instance lock may,
    // for it replaces what a crashed one left there. False when nothing could be made.
    bool Listen(const QString& address);
    // Hands `fileName` to the instance listening at `address`: true once it has taken it.
    static bool Send(const QString& address, const QString& fileName);

signals:
    void received(const QString& fileName);

private:
    QString address_;
#ifdef Q_OS_WIN
    QThread* thread_ = nullptr;
    std::atomic<bool> stopping_{false};
    void* pipe_ = nullptr; // the pipe's one instance, served in turn
#else
    int listener_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    void Accept();
#endif
};

// A message is its length (4 bytes, least significant first) and the name in UTF-8.
QByteArray HandOverMessage(const QString& fileName);
// The name once `buffer` holds a whole message; empty while it does not yet.
// `bad` is set for a message no sender of ours would make (too long).
QString HandOverName(const QByteArray& buffer, bool* whole, bool* bad);

} // namespace korvex
