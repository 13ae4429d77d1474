// The log window: coloured lines appended to the main window's RichEditRX, its manual
// double-click that clears it, and the popup menu PopupMenuKeys it shares with the event panel.
#pragma once

#include "host/TickCount.h"
#include "host/UiHost.h"
#include "link/ClickPair.h"

#include <QObject>
#include <QPoint>

#include <cstdint>
#include <functional>

class QAction;
class QMenu;
class QTextEdit;

namespace korvex {

struct LanguageState;

class LogWindow final : public QObject {
    Q_OBJECT
public:
    // Which control opened PopupMenuKeys; it decides what DeleteKeyx does.
    enum MenuContext : int { ContextNone = 0, ContextLog = 8, ContextEventPanel = 10 };

    // Takes over `richEditRX` (read-only, fixed-pitch) and lives as long as it does.
    LogWindow(QTextEdit* richEditRX, const LanguageState& language);

    // Appends one line in the window-text colour or in the controller's blue, as plain text,
    // and scrolls to it.
    void LogLineColored(LogColour colour, const QString& text);
    void Clear();

    // Captions PopupMenuKeys for `context` in the current language and remembers the context:
    // the log window offers both items, the event panel only its first.
    QMenu* PrepareKeysMenu(int context);
    // As above, then opens the menu at `globalPos` without waiting for the choice.
    void OpenKeysMenu(int context, const QPoint& globalPos);

    QMenu* PopupMenuKeys() const { return popupMenuKeys_; }
    QAction* DeleteKeyx() const { return deleteKeyx_; }
    QAction* CopyAllx() const { return copyAllx_; }
    QAction* SaveToFilex() const { return saveToFilex_; }
    QString PlainText() const;
    int Context() const { return context_; }

    // Called when the event panel's item is chosen: switches automatic event capture on.
    std::function<void()> onAutoCaptureOn;
    // Called when "Save to file..." is chosen; the window asks for the file and writes it.
    std::function<void()> onSaveToFile;
    // The clock of the double-click detection.
    std::function<std::uint32_t()> tickCount = TickCount;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RichEditRXMouseDown(Qt::MouseButton button, const QPoint& globalPos);
    void DeleteKeyxClick();
    void CopyAllxClick();

    QTextEdit* richEditRX_;
    QObject* viewport_ = nullptr;
    const LanguageState& language_;
    QMenu* popupMenuKeys_;
    QAction* deleteKeyx_;
    QAction* copyAllx_;
    QAction* saveToFilex_;
    int context_ = ContextNone;
    ClickPair clickPair_;
    bool empty_ = true;     // no line yet, so the next one needs no line break before it
    bool followEnd_ = true; // the newest line is to stay in view
};

} // namespace korvex
