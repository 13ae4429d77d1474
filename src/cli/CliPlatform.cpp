// POSIX signals or the Windows console handler; a handler only sets the flag.
#include "CliPlatform.h"

#include <QString>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <string>
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

bool WriteWhole(int fd, const QByteArray& bytes) {
#ifdef _WIN32
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring text = QString::fromUtf8(bytes).toStdWString();
        DWORD written = 0;
        return WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written,
                             nullptr) != 0;
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.constData() + done, static_cast<DWORD>(bytes.size() - done),
                       &written, nullptr))
            return false;
        done += written;
    }
    return true;
#else
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
#endif
}

} // namespace korvex::cli
