// The LIN Prog page. Combo boxes react to the user's choice only (activated), so showing the
// parameters never runs their handlers.
#include "LinProgPage.h"

#include "config/EnterOnlyEdit.h"
#include "host/ToolIcons.h"
#include "link/DeviceLink.h"

#include "ui_LinProgPage.h"

#include <QEvent>
#include <QFontDatabase>
#include <QVBoxLayout>

namespace korvex {

LinProgPage::LinProgPage(QWidget* tabSheetLINProg, DeviceLink& link, UiHost& host,
                         const LanguageState& language, std::function<QString()> chooseFirmwareFile,
                         std::function<void(const QString&)> rememberFirmwareFile, QObject* parent)
    : QObject(parent), ui_(std::make_unique<Ui::LinProgPage>()),
      programmer_(link.frames, host, language, this),
      chooseFirmwareFile_(std::move(chooseFirmwareFile)),
      rememberFirmwareFile_(std::move(rememberFirmwareFile)) {
    programmer_.logFlashResult = true;
    auto* form = new QWidget(tabSheetLINProg);
    ui_->setupUi(form);
    auto* layout = new QVBoxLayout(tabSheetLINProg);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form);

    ui_->SpeedButtonReadLIN->setIcon(ToolIcon("lin-read"));
    ui_->SpeedButtonWriteLINParam->setIcon(ToolIcon("lin-write"));
    // New firmware for the lamp looks like new firmware for the controller.
    ui_->SpeedButtonWriteLINFlashProg->setIcon(ToolIcon("firmware"));
    // The lines align their values with spaces.
    ui_->MemoLIN->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memoViewport_ = ui_->MemoLIN->viewport();
    memoViewport_->installEventFilter(this);

    connect(ui_->SpeedButtonReadLIN, &QToolButton::clicked, this,
            &LinProgPage::SpeedButtonReadLINClick);
    connect(ui_->SpeedButtonWriteLINParam, &QToolButton::clicked, this,
            &LinProgPage::SpeedButtonWriteLINParamClick);
    connect(ui_->SpeedButtonWriteLINFlashProg, &QToolButton::clicked, this,
            &LinProgPage::SpeedButtonWriteLINFlashProgClick);
    connect(ui_->ComboBoxLINDevType, &QComboBox::activated, this,
            &LinProgPage::ComboBoxLINDevTypeChange);
    connect(ui_->ComboBoxLINDevTType, &QComboBox::activated, this,
            &LinProgPage::ComboBoxLINDevTTypeChange);
    connect(ui_->EditLINDevParam, &QLineEdit::returnPressed, this,
            &LinProgPage::EditLINDevParamKeyPress);
    ShowStoredOnFocusOut(ui_->EditLINDevParam, [this] { return paramsShown_; });
}

LinProgPage::~LinProgPage() = default;

void LinProgPage::SpeedButtonReadLINClick() {
    programmer_.ReadDevice();
}

void LinProgPage::SpeedButtonWriteLINParamClick() {
    programmer_.WriteParams();
}

void LinProgPage::SpeedButtonWriteLINFlashProgClick() {
    programmer_.FlashFromFile(chooseFirmwareFile_, rememberFirmwareFile_);
}

void LinProgPage::ComboBoxLINDevTypeChange(int index) {
    // A refused change puts the box back to what the block holds.
    if (!programmer_.ChangeParamItem(linbit::LampSide, index))
        ShowItems();
}

void LinProgPage::ComboBoxLINDevTTypeChange(int index) {
    if (!programmer_.ChangeParamItem(linbit::TurnOff, index))
        ShowItems();
}

void LinProgPage::EditLINDevParamKeyPress() {
    programmer_.EnterParams(ui_->EditLINDevParam->text());
}

void LinProgPage::MemoLINDblClick() {
    programmer_.ClearMemo();
}

void LinProgPage::MemoCleared() {
    ui_->MemoLIN->clear();
}

void LinProgPage::MemoLineAdded(const QString& line, bool) {
    ui_->MemoLIN->appendPlainText(line);
}

void LinProgPage::ParamsChanged() {
    ShowItems();
    paramsShown_ = FormatLinParams(programmer_.state().linParams);
    ui_->EditLINDevParam->setText(paramsShown_);
}

void LinProgPage::ShowItems() {
    const LinParamBlock& params = programmer_.state().linParams;
    ui_->ComboBoxLINDevType->setCurrentIndex(LinParamItem(params, linbit::LampSide));
    ui_->ComboBoxLINDevTType->setCurrentIndex(LinParamItem(params, linbit::TurnOff));
}

bool LinProgPage::eventFilter(QObject* watched, QEvent* event) {
    // Compared with the pointer kept at the start: while the memo is being destroyed its viewport
    // still sends events, and the memo can no longer be asked for it.
    if (watched == memoViewport_ && event->type() == QEvent::MouseButtonDblClick) {
        MemoLINDblClick();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvex
