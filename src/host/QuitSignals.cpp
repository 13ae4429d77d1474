// The quit signals. A signal handler may do almost nothing: it writes the signal's number into a
// socket pair, and the event loop reads it from there.
#include "QuitSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace korvex {

#ifdef Q_OS_UNIX
namespace {
int quitPipe[2] = {-1, -1};
constexpr int Caught[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnQuitSignal(int signalNumber) {
    const int savedErrno = errno; // the interrupted code may be about to read it
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const auto written = ::write(quitPipe[0], &number, 1);
    errno = savedErrno;
}
} // namespace
#endif

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
#ifdef Q_OS_UNIX
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, quitPipe) != 0)
        return; // the signals keep their default: the program ends as before
    notifier_ = new QSocketNotifier(quitPipe[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        unsigned char number = 0;
        if (::read(quitPipe[1], &number, 1) == 1)
            emit received(number);
    });
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int s : Caught)
        ::sigaction(s, &action, nullptr);
#endif
}

QuitSignals::~QuitSignals() {
#ifdef Q_OS_UNIX
    if (notifier_ == nullptr)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int s : Caught)
        ::sigaction(s, &action, nullptr);
    delete notifier_;
    ::close(quitPipe[0]);
    ::close(quitPipe[1]);
    quitPipe[0] = quitPipe[1] = -1;
#endif
}

} // namespace korvex
