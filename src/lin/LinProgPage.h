// The LIN Prog page (TabSheetLINProg): shows the LIN programmer's state and forwards the user's
// clicks, choices and Enter in the hex edit to it.
#pragma once

#include "lin/LinProgrammer.h"

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace Ui {
class LinProgPage;
}

namespace korvex {

class DeviceLink;

class LinProgPage final : public QObject, public LinView {
    Q_OBJECT
public:
    // Puts the page's form into the (empty) tab sheet. The two functions are the firmware file
    // dialog's choice and its memory of the chosen file.
    LinProgPage(QWidget* tabSheetLINProg, DeviceLink& link, UiHost& host,
                const LanguageState& language, std::function<QString()> chooseFirmwareFile,
                std::function<void(const QString&)> rememberFirmwareFile,
                QObject* parent = nullptr);
    ~LinProgPage() override;

    LinProgrammer& programmer() { return programmer_; }

    void SpeedButtonReadLINClick();
    void SpeedButtonWriteLINParamClick();
    void SpeedButtonWriteLINFlashProgClick();
    void ComboBoxLINDevTypeChange(int index);
    void ComboBoxLINDevTTypeChange(int index);
    void EditLINDevParamKeyPress();
    void MemoLINDblClick();

    // LinView
    void MemoCleared() override;
    void MemoLineAdded(const QString& line, bool isError) override;
    void ParamsChanged() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowItems();

    std::unique_ptr<Ui::LinProgPage> ui_;
    LinProgrammer programmer_;
    std::function<QString()> chooseFirmwareFile_;
    std::function<void(const QString&)> rememberFirmwareFile_;
    QObject* memoViewport_ = nullptr;
    QString paramsShown_; // the block as last shown; empty until something was read or entered
};

} // namespace korvex
