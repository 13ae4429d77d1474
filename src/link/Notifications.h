// The controller's two notices (a pressed key, the last recognised event) and what the tool does
// with them: shows the key's name and captures the event into an event/reaction entry, on a
// click or automatically after each shown key.
#pragma once

#include "text/TextPair.h"

#include <QString>

namespace korvex {

class FrameProtocol;
class UiHost;
struct ConfigImage;
struct Frame;
struct LanguageState;
struct MonitorState;

inline constexpr TextPair PressedKeyText{"Нажата кнопка \"%s\"", "Pressed key \"%s\""};
inline constexpr TextPair DuplicateEventText{"Такое событие уже есть, %d вкладка",
                                             "Such an event already exists, %d tab"};
inline constexpr TextPair EventReceivedText{"Событие получено", "Event received"};
inline constexpr TextPair EventMissingText{"Событие отсутствует", "Event is missing"};

// One exchange each, without the retry: a notice missed now is announced again.
int ReadEventNotice(FrameProtocol& frames, Frame& reply);
int ReadKeyNotice(FrameProtocol& frames, Frame& reply);

// The key notice's text, or nothing when the reply names no known key.
QString KeyPressText(const Frame& reply, int language);

// Puts the noticed event into entry `entry` (kind, code, any press; nothing else changes).
// 1 stored, 0 nothing to store, -(tab number) when an entry already has that event.
int StoreCapturedEvent(ConfigImage& image, const Frame& reply, int entry);

// The first entry without an event from `selected` on, wrapping; -1 when every entry has one.
int FindFreeEntry(const ConfigImage& image, int selected);

// What capture needs of the editor: the tab strip and the automatic-capture switch.
class CaptureView {
public:
    virtual ~CaptureView() = default;
    virtual int SelectedEntry() const = 0;
    // Selects a tab as the program does, so that automatic capture stays on.
    virtual void SelectEntry(int entry) = 0;
    virtual void ShowSelectedEntry() = 0;
    virtual bool AutoCapture() const = 0;
    // Switches the mode and the capture panel's caption and hint.
    virtual void SetAutoCapture(bool on) = 0;
};

class EventCapture {
public:
    EventCapture(FrameProtocol& frames, ConfigImage& image, MonitorState& monitor, UiHost& host,
                 const LanguageState& language, CaptureView& view)
        : frames_(frames), image_(image), monitor_(monitor), host_(host), language_(language),
          view_(view) {}

    // Fetches a waiting key press and shows its name; false when there was no known key.
    bool ShowKeyPress();
    // The left click on the capture panel.
    void CaptureEventOnClick();
    // Called after each shown key press; does nothing unless automatic capture is on.
    void AutoCaptureStep();

    // The last step's result: 1 stored, 0 nothing, negative a duplicate; for the command line.
    int lastResult() const { return lastResult_; }
    int lastEntry() const { return lastEntry_; }

private:
    void ShowDuplicate(int result);

    FrameProtocol& frames_;
    ConfigImage& image_;
    MonitorState& monitor_;
    UiHost& host_;
    const LanguageState& language_;
    CaptureView& view_;
    int lastResult_ = 0;
    int lastEntry_ = -1;
};

} // namespace korvex
