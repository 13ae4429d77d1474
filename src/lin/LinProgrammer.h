// The LIN programmer: reading a LIN device, writing its parameters and flashing it from a LIN
// firmware file, with the state the LIN Prog page shows. The page and korvex-cli both drive it.
#pragma once

#include "lin/LinFirmwareFile.h"
#include "lin/LinLink.h"
#include "lin/LinParams.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace korvex {

class UiHost;
struct LanguageState;

struct LinDeviceInfo {
    std::uint16_t bootVersion = 0; // x100
    std::uint16_t appVersion = 0;  // x100, 0 = no application
    std::uint8_t deviceType = 0;
    std::uint8_t boardType = 0;
};

// What the LIN Prog page shows; nothing of it is persisted.
struct LinPageState {
    LinDeviceInfo linInfo;
    std::uint32_t linSerial = 0;
    LinParamBlock linParams{};
    bool linParamsRead = false; // set by the first successful read of the block, never cleared
    QStringList memo;           // the lines of MemoLIN
};

// Whoever shows the state: told of every change as it happens, so that a long operation shows
// its lines at once.
class LinView {
public:
    virtual ~LinView() = default;
    virtual void MemoCleared() {}
    virtual void MemoLineAdded(const QString&, bool /*isError*/) {}
    virtual void ParamsChanged() {}
};

enum class LinFlashOutcome {
    Done,
    Busy,     // another LIN operation is under way; nothing was done
    NotRead,  // the device has not been read yet
    NoFile,   // the dialog was cancelled
    Refused,  // the file or a comparison stopped it before anything was sent
    Declined, // a version question was not answered Yes
    Failed,   // the device failed; the reason is in MemoLIN or in a box
};

class LinProgrammer {
public:
    LinProgrammer(FrameProtocol& frames, UiHost& host, const LanguageState& language,
                  LinView* view = nullptr);

    LinPageState& state() { return state_; }
    const LinPageState& state() const { return state_; }
    LinLink& link() { return link_; }

    // The device's identity, serial number and parameters into the state and MemoLIN.
    // Returns the LIN result code, or Busy.
    int ReadDevice();
    // Returns the LIN result code, NotRead before a read, or Busy.
    int WriteParams();
    // Asks for the file, checks it against the device and writes its image block by block.
    LinFlashOutcome FlashFromFile(const std::function<QString()>& chooseFile,
                                  const std::function<void(const QString&)>& rememberFile);

    // The combo boxes: false (and the not-read box) before the block has been read.
    bool ChangeParamItem(int bit, int item);
    // Enter in the hex edit: false (and the length box) when the text does not hold six bytes.
    bool EnterParams(const QString& text);
    void ClearMemo();
    // Appends one line to MemoLIN.
    void LinLog(const QString& line, bool isError = false);

    // The window's log keeps a line with the result of each flashing; korvex-cli prints its own.
    bool logFlashResult = false;

    static constexpr int Busy = -1;
    static constexpr int NotRead = -2;

private:
    void ShowNotRead();
    void LogError(int code);
    bool LoadFile(const QString& path);
    LinFlashOutcome Flash();
    LinFlashOutcome FlashSteps(const std::function<QString()>& chooseFile,
                               const std::function<void(const QString&)>& rememberFile);
    // An error box, remembered for the log's line.
    void ShowError(const QString& text);

    LinLink link_;
    UiHost& host_;
    const LanguageState& language_;
    LinView* view_;
    LinPageState state_;
    LinFirmwareFile file_;
    bool running_ = false;
    QString lastError_; // the last box or LIN code of a flashing, one line
};

} // namespace korvex
