// POSIX signals or the Windows console handler; a handler only sets the flag.
#include "CliPlatform.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace korvex::cli {

namespace {
// Lock-free, so that setting it is safe in a signal handler.
std::atomic<bool> stopFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

#ifdef _WIN32
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT ||
        event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        stopFlag.store(true);
        // The system ends the process as soon as a close is answered: the waits get their
        // second to stop and say so first.
        if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
            Sleep(2000);
        return TRUE;
    }
    return FALSE;
}
#else
extern "C" void OnStopSignal(int) {
    stopFlag.store(true);
}
#endif
} // namespace

void InstallStopHandlers() {
#ifdef _WIN32
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    std::signal(SIGTERM, [](int) { stopFlag.store(true); });
#else
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // A terminal closed over SSH is a stop like Ctrl+C, not a death in the middle of a write.
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
#endif
}

bool StopRequested() {
    return stopFlag.load();
}

bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

QByteArray ReadStandardInput(qint64 limit, bool& tooLarge) {
    QByteArray data;
    tooLarge = false;
    char chunk[65536];
    while (!stopFlag.load()) {
#ifdef _WIN32
        const long long got = static_cast<long long>(std::fread(chunk, 1, sizeof chunk, stdin));
        if (got <= 0)
            break;
#else
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue; // the loop's test sees a stop
        if (got <= 0)
            break;
#endif
        data.append(chunk, static_cast<qsizetype>(got));
        if (data.size() > limit) {
            tooLarge = true;
            data.clear();
            break;
        }
    }
    return data;
}

#ifdef _WIN32
namespace {
// The console's code pages belong to the window the user typed in: given back at exit.
UINT consoleOutputPage = 0;
UINT consoleInputPage = 0;
} // namespace
#endif

void PrepareStandardStreams() {
#ifdef _WIN32
    consoleOutputPage = GetConsoleOutputCP();
    consoleInputPage = GetConsoleCP();
    if (consoleOutputPage != 0) {
        SetConsoleOutputCP(CP_UTF8);
        SetConsoleCP(CP_UTF8);
        std::atexit([] {
            SetConsoleOutputCP(consoleOutputPage);
            SetConsoleCP(consoleInputPage);
        });
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
}

} // namespace korvex::cli
