// The requests to end the program that come from outside the window: SIGINT, SIGTERM and SIGHUP
// (a logout, kill, Ctrl+C in the terminal that started it). They arrive as a Qt signal on the
// user-interface thread, so that the window can close as the user would close it.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace korvex {

class QuitSignals final : public QObject {
    Q_OBJECT
public:
    // Catches the three signals for the life of the object; one object per process.
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void received(int signalNumber);

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace korvex
