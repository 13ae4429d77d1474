// The terminal's input memo: Enter sends the line under the caret, a double click clears it.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QPlainTextEdit;

namespace korvex {

class TerminalInput final : public QObject {
    Q_OBJECT
public:
    // `send` gets each line that Enter sends.
    TerminalInput(QPlainTextEdit* memo, std::function<void(const QString&)> send);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* memo_;
    std::function<void(const QString&)> send_;
};

} // namespace korvex
