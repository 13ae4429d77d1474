// Reading, parameterising and flashing a LIN device.
#include "LinProgrammer.h"

#include "firmware/FirmwareTexts.h"
#include "host/UiHost.h"
#include "lin/LinTexts.h"
#include "link/FrameProtocol.h"
#include "link/LittleEndian.h"

#include <algorithm>

namespace korvex {

namespace fwtexts = texts::firmware;

namespace {
constexpr int PauseMs = 100;
constexpr int BlockBytes = 4;
constexpr int ImageGranule = 64;
constexpr int BlocksBetweenPauses = 32;
constexpr int NoticeHideMs = 3000;
constexpr int NoticeBlinkMs = 250;

// Marks an operation as running for its whole life, so that a click handled while it waits
// does not start a second one on the same bus.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : flag_(flag) { flag_ = true; }
    ~RunningFlag() { flag_ = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& flag_;
};
} // namespace

LinProgrammer::LinProgrammer(FrameProtocol& frames, UiHost& host, const LanguageState& language,
                             LinView* view)
    : link_(frames), host_(host), language_(language), view_(view) {}

void LinProgrammer::LinLog(const QString& line, bool isError) {
    state_.memo.append(line);
    if (view_ != nullptr)
        view_->MemoLineAdded(line, isError);
}

void LinProgrammer::LogError(int code) {
    lastError_ = LangFormat(lintexts::Error, language_.current, code);
    LinLog(lastError_, true);
}

void LinProgrammer::ClearMemo() {
    state_.memo.clear();
    if (view_ != nullptr)
        view_->MemoCleared();
}

void LinProgrammer::ShowNotRead() {
    host_.ShowMessageBox(mb::IconError, LangText(lintexts::NotRead, language_));
}

int LinProgrammer::ReadDevice() {
    if (running_)
        return Busy;
    const RunningFlag running(running_);
    ClearMemo();
    std::uint8_t info[6];
    int rc = link_.LinQuery(lincmd::ReadInfo, info, 6);
    if (rc == linresult::Ok) {
        state_.linInfo = {GetU16le(&info[0]), GetU16le(&info[2]), info[4], info[5]};
        std::uint8_t serial[4];
        rc = link_.LinQuery(lincmd::ReadSerial, serial, 4);
        if (rc == linresult::Ok)
            state_.linSerial = GetU32le(serial);
    }
    if (rc == linresult::Ok) {
        LinParamBlock params{};
        rc = link_.LinQuery(lincmd::ReadParams, params.data(), static_cast<int>(params.size()));
        if (rc == linresult::Ok) {
            state_.linParams = params;
            state_.linParamsRead = true;
            if (view_ != nullptr)
                view_->ParamsChanged();
        }
    }
    if (rc != linresult::Ok) {
        LogError(rc);
        return rc;
    }
    const int lang = language_.current;
    const LinDeviceInfo& i = state_.linInfo;
    LinLog(LangText(lintexts::ReadOk, lang));
    LinLog(LangFormat(lintexts::Serial, lang, static_cast<unsigned long>(state_.linSerial)));
    LinLog(LangFormat(lintexts::BootVersion, lang, i.bootVersion / 100u, i.bootVersion % 100u));
    if (i.appVersion != 0)
        LinLog(LangFormat(lintexts::AppVersion, lang, i.appVersion / 100u, i.appVersion % 100u));
    else
        LinLog(LangText(lintexts::NoApp, lang));
    LinLog(LangFormat(lintexts::DeviceType, lang, static_cast<unsigned long>(i.deviceType)));
    LinLog(LangFormat(lintexts::BoardType, lang, static_cast<unsigned long>(i.boardType)));
    return linresult::Ok;
}

int LinProgrammer::WriteParams() {
    if (running_)
        return Busy;
    if (!state_.linParamsRead) {
        ShowNotRead();
        return NotRead;
    }
    const RunningFlag running(running_);
    // A copy: the hex edit and the combo boxes may change the block while the write waits.
    const LinParamBlock sent = state_.linParams;
    LinArgs args{0};
    std::copy(sent.begin(), sent.end(), args.begin() + 1);
    LinData echo{};
    int rc = link_.LinCommand(lincmd::WriteParams, args, echo);
    if (rc == linresult::Ok && echo[1] != sent.size())
        rc = linresult::ParamEchoLength;
    if (rc == linresult::Ok && !std::equal(sent.begin(), sent.end(), echo.begin() + 2))
        rc = linresult::ParamEchoDiffers;
    if (rc != linresult::Ok)
        LogError(rc);
    else
        LinLog(LangText(lintexts::Recorded, language_));
    return rc;
}

bool LinProgrammer::ChangeParamItem(int bit, int item) {
    if (!state_.linParamsRead) {
        ShowNotRead();
        return false;
    }
    state_.linParams = WithLinParamItem(state_.linParams, bit, item);
    if (view_ != nullptr)
        view_->ParamsChanged();
    return true;
}

bool LinProgrammer::EnterParams(const QString& text) {
    const std::optional<LinParamBlock> parsed = ParseLinParams(text);
    if (!parsed) {
        host_.ShowMessageBox(mb::IconError, LangText(lintexts::ParamLength, language_));
        return false;
    }
    state_.linParams = *parsed;
    if (view_ != nullptr)
        view_->ParamsChanged();
    return true;
}

bool LinProgrammer::LoadFile(const QString& path) {
    const FileNameParts n = SplitFileName(path);
    const int lang = language_.current;
    const auto fileBox = [&](const TextPair& text) {
        ShowError(LangFormat(text, lang, n.name.constData(), n.extension.constData()));
        return false;
    };
    const LinFileError error = file_.Load(path);
    if (error != LinFileError::None)
        return fileBox(fwtexts::LoadErrorText(error));
    const LinFileHeader& h = file_.header();
    LinLog(LangText(fwtexts::UpdateHeader, lang));
    LinLog(LangFormat(fwtexts::UpdateFileLine, lang, n.name.constData(), n.extension.constData()));
    LinLog(
        LangFormat(fwtexts::ImageVersionLine, lang, h.imageVersion / 100u, h.imageVersion % 100u));
    if (h.targetSerial != 0 && h.targetSerial != state_.linSerial) {
        ShowError(LangText(fwtexts::WrongSerial, lang));
        return false;
    }
    return true;
}

void LinProgrammer::ShowError(const QString& text) {
    host_.ShowMessageBox(mb::IconError, text);
    lastError_ = text.trimmed().replace(u'\n', QStringLiteral(": "));
}

LinFlashOutcome
LinProgrammer::FlashFromFile(const std::function<QString()>& chooseFile,
                             const std::function<void(const QString&)>& rememberFile) {
    lastError_.clear();
    const LinFlashOutcome outcome = FlashSteps(chooseFile, rememberFile);
    if (!logFlashResult)
        return outcome;
    // After the boxes and the notice; a cancelled dialog or a question answered No leaves none.
    const int lang = language_.current;
    const unsigned version = file_.header().imageVersion;
    if (outcome == LinFlashOutcome::Done)
        host_.LogLine(LangFormat(lintexts::FlashedLine, lang, version / 100u, version % 100u));
    else if (!lastError_.isEmpty())
        host_.LogLine(LangFormat(lintexts::NotFlashedLine, lang, lastError_.toUtf8().constData()));
    return outcome;
}

LinFlashOutcome LinProgrammer::FlashSteps(const std::function<QString()>& chooseFile,
                                          const std::function<void(const QString&)>& rememberFile) {
    if (running_)
        return LinFlashOutcome::Busy;
    if (!state_.linParamsRead) {
        ShowError(LangText(lintexts::NotRead, language_));
        return LinFlashOutcome::NotRead;
    }
    const RunningFlag running(running_);
    const QString path = chooseFile ? chooseFile() : QString();
    if (path.isEmpty())
        return LinFlashOutcome::NoFile;
    if (rememberFile)
        rememberFile(path);
    if (!LoadFile(path))
        return LinFlashOutcome::Refused;
    return Flash();
}

LinFlashOutcome LinProgrammer::Flash() {
    const int lang = language_.current;
    const LinFileHeader& h = file_.header();
    const LinDeviceInfo& device = state_.linInfo;
    if (h.deviceType != device.deviceType || h.boardType != device.boardType) {
        ShowError(LangText(fwtexts::WrongType, lang));
        return LinFlashOutcome::Refused;
    }
    if (device.appVersion != 0) {
        const TextPair* question = h.imageVersion == device.appVersion  ? &fwtexts::SameVersion
                                   : device.appVersion > h.imageVersion ? &fwtexts::OlderVersion
                                                                        : nullptr;
        if (question != nullptr && host_.ShowMessageBox(mb::IconWarning | mb::YesNo,
                                                        LangText(*question, lang)) != mb::IdYes)
            return LinFlashOutcome::Declined;
    }
    const int length = file_.imageLength();
    if (length % ImageGranule != 0) {
        ShowError(LangText(lintexts::ImageSize, lang));
        return LinFlashOutcome::Refused;
    }
    for (int i = 0; i < 2; ++i) {
        const int rc = link_.LinQuery(lincmd::FlashBegin, nullptr, 0);
        if (rc != linresult::Ok) {
            LogError(rc);
            return LinFlashOutcome::Failed;
        }
    }

    host_.WaitMs(PauseMs, true);
    host_.SuspendMonitor();
    const int blocks = length / BlockBytes;
    host_.ProgressBegin(blocks, LangText(fwtexts::ProgressCaption, lang));
    for (int i = 0; i < blocks; ++i) {
        LinArgs args{0, static_cast<std::uint8_t>(i & 0xFF), static_cast<std::uint8_t>(i >> 8)};
        std::copy_n(file_.image() + BlockBytes * i, BlockBytes, args.begin() + 3);
        LinData echo{};
        int rc = link_.LinCommand(lincmd::FlashBlock, args, echo);
        if (rc == linresult::Ok && echo[1] != 3)
            rc = linresult::BlockEchoLength;
        if (rc == linresult::Ok && GetU16le(&echo[2]) != i)
            rc = linresult::BlockEchoNumber;
        if (rc == linresult::Ok && echo[4] != 0)
            rc = linresult::BlockStatus;
        if (rc != linresult::Ok) {
            host_.WaitMs(PauseMs, true);
            link_.LinQuery(lincmd::FlashEnd, nullptr, 0);
            ShowError(LangFormat(lintexts::FlashFailed, lang, rc));
            host_.ResumeMonitor();
            return LinFlashOutcome::Failed;
        }
        host_.ProgressStep(1);
        if (i % BlocksBetweenPauses == BlocksBetweenPauses - 1)
            host_.WaitMs(PauseMs, true);
    }
    host_.ResumeMonitor();
    host_.WaitMs(PauseMs, true);
    const int rc = link_.LinQuery(lincmd::FlashEnd, nullptr, 0);
    if (rc != linresult::Ok) {
        LogError(rc);
        return LinFlashOutcome::Failed;
    }
    host_.ShowPanelMessage(
        false, NoticeHideMs, NoticeBlinkMs,
        LangFormat(fwtexts::Updated, lang, h.imageVersion / 100u, h.imageVersion % 100u));
    return LinFlashOutcome::Done;
}

} // namespace korvex
