// The controller's notices and event capture.
#include "Notifications.h"

#include "config/ConfigImage.h"
#include "config/Vocabulary.h"
#include "host/RequireController.h"
#include "link/FrameProtocol.h"
#include "link/ResultText.h"

namespace korvex {

namespace {

constexpr std::uint8_t EventNoticeCommand = 0x17;
constexpr std::uint8_t KeyNoticeCommand = 0x18;
constexpr int NoticeLength = 3;
constexpr std::uint8_t LinNotice = 1;
constexpr std::uint8_t AnyPress = 3;

int ReadNotice(FrameProtocol& frames, std::uint8_t command, Frame& reply) {
    reply = Frame::request(command, 0);
    const int rc = frames.FrameTransact(reply);
    if (rc != result::Ok)
        return rc;
    int status = 0;
    return ReplyStatus(reply, status) ? status : result::Ok;
}

struct Notice {
    bool present;
    std::uint8_t kind;
    std::uint8_t flag;
    std::uint8_t code;
};

Notice NoticeOf(const Frame& reply) {
    if (reply.len() < NoticeLength)
        return {false, 0, 0, 0};
    const std::uint8_t* p = reply.payload();
    return {true, p[0], p[1], p[2]};
}

} // namespace

int ReadEventNotice(FrameProtocol& frames, Frame& reply) {
    return ReadNotice(frames, EventNoticeCommand, reply);
}

int ReadKeyNotice(FrameProtocol& frames, Frame& reply) {
    return ReadNotice(frames, KeyNoticeCommand, reply);
}

QString KeyPressText(const Frame& reply, int language) {
    const Notice notice = NoticeOf(reply);
    if (!notice.present || notice.kind != LinNotice || notice.flag != 1)
        return {};
    const std::optional<QString> name = LinKeyName(notice.code);
    if (!name)
        return {};
    return LangFormat(PressedKeyText, language, name->toUtf8().constData());
}

int StoreCapturedEvent(ConfigImage& image, const Frame& reply, int entry) {
    const Notice notice = NoticeOf(reply);
    if (!notice.present || notice.kind == 0)
        return 0;
    // The duplicate check comes first, so that even a notice that is not stored tells the user
    // where its event already is.
    for (int n = 0; n < EntryCount; ++n) {
        const EntryRef e(image.bytes, n);
        if (e.get(entry::eventKind) == notice.kind && e.get(entry::eventPress) == AnyPress &&
            e.get(entry::eventCode) == notice.code)
            return -(n + 1);
    }
    if (notice.kind != LinNotice || notice.flag != 1 || entry < 0 || entry >= EntryCount)
        return 0;
    EntryRef e(image.bytes, entry);
    e.set(entry::eventKind, notice.kind);
    e.set(entry::eventCode, notice.code);
    e.set(entry::eventPress, AnyPress);
    return 1;
}

int FindFreeEntry(const ConfigImage& image, int selected) {
    if (selected < 0 || selected >= EntryCount)
        selected = 0;
    for (int step = 0; step < EntryCount; ++step) {
        const int n = (selected + step) % EntryCount;
        if (Get(image.bytes, EntryField(n, entry::eventKind)) == 0)
            return n;
    }
    return -1;
}

bool EventCapture::ShowKeyPress() {
    Frame reply;
    if (ReadKeyNotice(frames_, reply) != result::Ok)
        return false;
    const QString text = KeyPressText(reply, language_.current);
    if (text.isEmpty())
        return false;
    host_.ShowPanelMessage(false, 2000, 0, text);
    return true;
}

void EventCapture::ShowDuplicate(int result) {
    host_.ShowPanelMessage(true, 5000, 0,
                           LangFormat(DuplicateEventText, language_.current, -result));
}

void EventCapture::CaptureEventOnClick() {
    if (RequireController(monitor_, host_, language_))
        return;
    Frame reply;
    const int entry = view_.SelectedEntry();
    int rc = 0;
    if (ReadEventNotice(frames_, reply) == result::Ok)
        rc = StoreCapturedEvent(image_, reply, entry);
    lastResult_ = rc;
    lastEntry_ = rc == 1 ? entry : -1;
    if (rc == 1)
        view_.ShowSelectedEntry();
    if (rc < 0)
        ShowDuplicate(rc);
    else if (rc == 1)
        host_.ShowPanelMessage(false, 2500, 250, LangText(EventReceivedText, language_));
    else
        host_.ShowPanelMessage(true, 2500, 250, LangText(EventMissingText, language_));
}

void EventCapture::AutoCaptureStep() {
    lastResult_ = 0;
    lastEntry_ = -1;
    if (!view_.AutoCapture())
        return;
    Frame reply;
    if (ReadEventNotice(frames_, reply) != result::Ok)
        return;
    const int entry = FindFreeEntry(image_, view_.SelectedEntry());
    if (entry < 0) {
        // Through the switch, so that the capture panel stops saying it captures.
        view_.SetAutoCapture(false);
        return;
    }
    const int rc = StoreCapturedEvent(image_, reply, entry);
    lastResult_ = rc;
    if (rc < 0) {
        ShowDuplicate(rc);
        return;
    }
    if (rc == 1) {
        lastEntry_ = entry;
        view_.SelectEntry(entry);
    }
    view_.ShowSelectedEntry();
}

} // namespace korvex
