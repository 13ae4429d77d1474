// The terminal's input memo: Enter sends the line under the caret, a double click clears it.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QPlainTextEdit;
class QWidget;

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
    // Kept, as events still come while the memo is being destroyed and can no longer be asked.
    QWidget* viewport_;
    std::function<void(const QString&)> send_;
};

} // namespace korvex
