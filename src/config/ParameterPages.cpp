// The parameter pages: the controls show the image and forward the user's changes; the rules
// behind them live in ParameterRules and ValueEntry.
#include "ParameterPages.h"

#include "config/ChoiceBoxes.h"
#include "config/EnterOnlyEdit.h"
#include "config/ParameterRules.h"
#include "config/ValueEntry.h"
#include "link/Crc32Fingerprint.h"

#include "ui_ParamPageLin.h"
#include "ui_ParamPagePins.h"
#include "ui_ParamPageRadio.h"
#include "ui_ParamPageSources.h"

#include <QTabWidget>

namespace korvex {

namespace {

template <typename Field>
std::function<QString()> NumberShown(const ConfigBytes& bytes, Field field) {
    return [&bytes, field] { return QString::number(Get(bytes, field)); };
}

std::function<QString()> VoltsShown(const ConfigBytes& bytes, U16Field field) {
    return [&bytes, field] { return CodeToVolts(Get(bytes, field)); };
}

} // namespace

void FillChoiceBox(QComboBox* box, NameTable table, const QString& hint, int language) {
    box->clear();
    box->addItems(TableTexts(table, language));
    box->setCurrentIndex(0);
    box->setToolTip(hint);
}

ParameterPages::ParameterPages(QTabWidget* pageControlParams, ConfigImage& image, ViewState& views,
                               EditorViews& editor, UiHost& host, const LanguageState& language,
                               QObject* parent)
    : QObject(parent), pageControl_(pageControlParams), bytes_(image.bytes), views_(views),
      editor_(editor), host_(host), language_(language),
      pins_(std::make_unique<Ui::ParamPagePins>()), lin_(std::make_unique<Ui::ParamPageLin>()),
      sources_(std::make_unique<Ui::ParamPageSources>()),
      radio_(std::make_unique<Ui::ParamPageRadio>()) {
    auto* pinsPage = new QWidget;
    pins_->setupUi(pinsPage);
    pageControl_->addTab(pinsPage, QStringLiteral("Выводы"));
    auto* linPage = new QWidget;
    lin_->setupUi(linPage);
    pageControl_->addTab(linPage, QStringLiteral("Шина LIN"));
    auto* sourcesPage = new QWidget;
    sources_->setupUi(sourcesPage);
    pageControl_->addTab(sourcesPage, QStringLiteral("Источники"));
    auto* radioPage = new QWidget;
    radio_->setupUi(radioPage);
    pageControl_->addTab(radioPage, QStringLiteral("Управление магнитолой"));
    linProgPage_ = new QWidget;
    linProgPage_->setObjectName(QStringLiteral("TabSheetLINProg"));
    pageControl_->addTab(linProgPage_, QStringLiteral("LIN Программатор"));
    pageControl_->setCurrentWidget(pinsPage);
    // Captions are shown whole; a bar too narrow for them scrolls.
    pageControl_->setElideMode(Qt::ElideNone);
    pageControl_->setUsesScrollButtons(true);

    connectControls();
    LanguageChanged();
}

ParameterPages::~ParameterPages() = default;

void ParameterPages::connectControls() {
    connectChoice(pins_->ComboBoxX21x, param::X21, false);
    connectChoice(pins_->ComboBoxX22x, param::X22, false);
    connectChoice(pins_->ComboBoxX23x, param::X23, false);
    connectChoice(pins_->ComboBoxX24x, param::X24, false);
    connectChoice(pins_->ComboBoxX25x, param::X25, false);
    connectChoice(pins_->ComboBoxX26x, param::X26, false);
    connectNibble(pins_->ComboBoxX27x, param::X27);
    connectNibble(pins_->ComboBoxX28x, param::X28);
    connectNibble(pins_->ComboBoxX29x, param::X29);
    connectNibble(pins_->ComboBoxX210x, param::X210);
    // The LIN types change what the event-reaction editor offers, so both views redraw.
    connectChoice(pins_->ComboBoxLIN1MODEx, param::LIN1MODE, true);
    connectChoice(pins_->ComboBoxLIN2MODEx, param::LIN2MODE, true);

    connectChoice(lin_->ComboBoxLINSPEEDx, param::LINSPEED, false);
    connectChoice(lin_->ComboBoxLINTYPE, param::LINTYPE, false);
    connectChoice(lin_->ComboBoxLIN_TEMP_RELAY_PINx, param::TEMP_RELAY_PIN, false);
    connectChoice(lin_->ComboBoxLINPROTOCOLVERSIONx, param::LINPROTOCOLVERSION, false);
    connectChoice(lin_->ComboBoxLINTYPESLAVEx, param::LINTYPESLAVE, false);
    connectFlag(lin_->CheckBoxLINSWAP_VOLDN_OK, param::SWAP_VOLDN_OK);
    connectFlag(lin_->CheckBoxLIN_LIGHT_VAR_ENABLE, param::LIGHT_VAR_ENABLE);
    connectFlag(lin_->CheckBoxLIN_HEAT_VAR_ENABLE, param::HEAT_VAR_ENABLE);
    connectFlag(lin_->CheckBoxLIGHT_DIAG_USE, param::LIGHT_DIAG_USE);
    connect(lin_->Edit_PAR_LongTO, &QLineEdit::returnPressed, this,
            &ParameterPages::longPressEntered);
    // The light bounds are read when Enter is pressed, so the minimum never passes the maximum.
    connect(lin_->Edit_Light_Day, &QLineEdit::returnPressed, this,
            [this] { storeNumber(lin_->Edit_Light_Day, 0, 100, param::Light_Day.offset, 1); });
    connect(lin_->Edit_Light_Min, &QLineEdit::returnPressed, this, [this] {
        storeNumber(lin_->Edit_Light_Min, 0, Get(bytes_, param::Light_Max), param::Light_Min.offset,
                    1);
    });
    connect(lin_->Edit_Light_Max, &QLineEdit::returnPressed, this, [this] {
        storeNumber(lin_->Edit_Light_Max, Get(bytes_, param::Light_Min), 100,
                    param::Light_Max.offset, 1);
    });

    connectChoice(sources_->ComboBoxPULSESRCNUMx, param::PULSESRCNUM, false);

    connectVolts(radio_->EditParamControlVOUT1, param::VOUT1);
    connectVolts(radio_->EditParamControlVOUT2, param::VOUT2);
    connectVolts(radio_->EditParamControlVOUT1minmax, param::VOUT1minmax);
    connectVolts(radio_->EditParamControlVOUT2minmax, param::VOUT2minmax);
    connect(radio_->Edit_KEY_REASSIGN_TO, &QLineEdit::returnPressed, this,
            &ParameterPages::keyReassignEntered);

    // What is typed counts only with Enter; leaving an edit otherwise shows the image again.
    ShowStoredOnFocusOut(lin_->Edit_PAR_LongTO, NumberShown(bytes_, param::PAR_LongTO));
    ShowStoredOnFocusOut(lin_->Edit_Light_Day, NumberShown(bytes_, param::Light_Day));
    ShowStoredOnFocusOut(lin_->Edit_Light_Min, NumberShown(bytes_, param::Light_Min));
    ShowStoredOnFocusOut(lin_->Edit_Light_Max, NumberShown(bytes_, param::Light_Max));
    ShowStoredOnFocusOut(radio_->EditParamControlVOUT1, VoltsShown(bytes_, param::VOUT1));
    ShowStoredOnFocusOut(radio_->EditParamControlVOUT2, VoltsShown(bytes_, param::VOUT2));
    ShowStoredOnFocusOut(radio_->EditParamControlVOUT1minmax,
                         VoltsShown(bytes_, param::VOUT1minmax));
    ShowStoredOnFocusOut(radio_->EditParamControlVOUT2minmax,
                         VoltsShown(bytes_, param::VOUT2minmax));
    ShowStoredOnFocusOut(radio_->Edit_KEY_REASSIGN_TO, NumberShown(bytes_, param::KEY_REASSIGN_TO));

    // Only the user's click on another page: a page chosen by code, or a click on the page
    // already shown, leaves the capture alone.
    connect(pageControl_, &QTabWidget::tabBarClicked, this, [this](int page) {
        if (page >= 0 && page != pageControl_->currentIndex())
            editor_.SetAutoCapture(false);
    });
}

void ParameterPages::connectChoice(QComboBox* box, U8Field field, bool invalidate) {
    connect(box, &QComboBox::activated, this, [this, field, invalidate](int index) {
        Set(bytes_, field, static_cast<std::uint8_t>(index));
        if (invalidate)
            editor_.InvalidateViews();
        RefreshParameterPages();
    });
}

void ParameterPages::connectNibble(QComboBox* box, NibbleField field) {
    connect(box, &QComboBox::activated, this, [this, field](int index) {
        Set(bytes_, field, static_cast<std::uint8_t>(index));
        RefreshParameterPages();
    });
}

// Runs on every change of the box, from code too: a flag byte other than 0 or 1 becomes 1
// when the refresh checks its box.
void ParameterPages::connectFlag(QCheckBox* box, U8Field field) {
    connect(box, &QCheckBox::toggled, this, [this, field](bool checked) {
        Set(bytes_, field, checked ? 1 : 0);
        RefreshParameterPages();
    });
}

bool ParameterPages::storeNumber(QLineEdit* edit, int low, int high, int offset, int width) {
    return ShowEditNumberResult(
        host_, edit, EditNumber(edit->text(), low, high, bytes_, offset, width, language_.current));
}

void ParameterPages::connectVolts(QLineEdit* edit, U16Field field) {
    connect(edit, &QLineEdit::returnPressed, this, [this, edit, field] {
        Set(bytes_, field, VoltsToCode(edit->text()));
        RefreshParameterPages();
    });
}

void ParameterPages::longPressEntered() {
    const std::uint16_t ms = LongPressFromText(lin_->Edit_PAR_LongTO->text());
    lin_->Edit_PAR_LongTO->setText(QString::number(ms));
    Set(bytes_, param::PAR_LongTO, ms);
}

void ParameterPages::keyReassignEntered() {
    if (!storeNumber(radio_->Edit_KEY_REASSIGN_TO, 0, 10000, param::KEY_REASSIGN_TO.offset, 2))
        return;
    // The override changes what radio-control reactions show.
    editor_.InvalidateViews();
    RefreshParameterPages();
    editor_.ShowSelectedEntry();
}

void ParameterPages::fillSlaveTypes() {
    FillChoiceBox(lin_->ComboBoxLINTYPESLAVEx, SlaveEncodingsFor(Get(bytes_, param::LIN1MODE)),
                  LangText(LinSlaveTypeHint, language_), language_.current);
}

void ParameterPages::LanguageChanged() {
    const int lang = language_.current;
    const QString pinHint = LangText(PinLevelHint, lang);
    for (QComboBox* box :
         {pins_->ComboBoxX21x, pins_->ComboBoxX22x, pins_->ComboBoxX23x, pins_->ComboBoxX24x})
        FillChoiceBox(box, PowerPinLevels, pinHint, lang);
    for (QComboBox* box : {pins_->ComboBoxX25x, pins_->ComboBoxX26x, pins_->ComboBoxX27x,
                           pins_->ComboBoxX28x, pins_->ComboBoxX29x, pins_->ComboBoxX210x})
        FillChoiceBox(box, OpenCollectorPinLevels, pinHint, lang);
    FillChoiceBox(pins_->ComboBoxLIN1MODEx, LinSlaveTypes, LangText(LinSlaveHint, lang), lang);
    FillChoiceBox(pins_->ComboBoxLIN2MODEx, LinMasterTypes, LangText(LinMasterHint, lang), lang);
    FillChoiceBox(lin_->ComboBoxLINSPEEDx, LinSpeeds, QString(), lang);
    FillChoiceBox(lin_->ComboBoxLIN_TEMP_RELAY_PINx, HeaterPins, QString(), lang);

    radio_->EditParamControlVOUT1->setToolTip(LangText(ParamControlVout1Hint, lang));
    radio_->EditParamControlVOUT2->setToolTip(LangText(ParamControlVout2Hint, lang));
    radio_->EditParamControlVOUT1minmax->setToolTip(LangText(ParamControlVout1MinMaxHint, lang));
    radio_->EditParamControlVOUT2minmax->setToolTip(LangText(ParamControlVout2MinMaxHint, lang));
    radio_->Edit_KEY_REASSIGN_TO->setToolTip(LangText(KeyReassignHint, lang));
}

void ParameterPages::RefreshParameterPages() {
    if (refreshRunning_)
        return;
    refreshRunning_ = true;
    editor_.BeginScreenUpdate();
    const std::uint32_t fingerprint =
        Crc32Fingerprint(0xFFFFFFFFu, bytes_.data(), bytes_.data() + bytes_.size());
    if (fingerprint != views_.shownImageFingerprint) {
        views_.shownImageFingerprint = fingerprint;
        // The live sending of edits must not see a half-refreshed image.
        MonitorSuspension suspension(host_);
        refreshControls();
        // Entries other than the one shown may have changed too (a file opened).
        editor_.UpdateTabLabels();
    }
    editor_.ApplyOnlyUsedView();
    editor_.ShowSelectedEntry();
    editor_.EndScreenUpdate();
    refreshRunning_ = false;
}

void ParameterPages::refreshControls() {
    lin_->Edit_PAR_LongTO->setText(QString::number(Get(bytes_, param::PAR_LongTO)));
    radio_->EditParamControlVOUT1->setText(CodeToVolts(Get(bytes_, param::VOUT1)));
    radio_->EditParamControlVOUT2->setText(CodeToVolts(Get(bytes_, param::VOUT2)));
    radio_->EditParamControlVOUT1minmax->setText(CodeToVolts(Get(bytes_, param::VOUT1minmax)));
    radio_->EditParamControlVOUT2minmax->setText(CodeToVolts(Get(bytes_, param::VOUT2minmax)));
    radio_->Edit_KEY_REASSIGN_TO->setText(QString::number(Get(bytes_, param::KEY_REASSIGN_TO)));

    SelectRow(pins_->ComboBoxX21x, Get(bytes_, param::X21));
    SelectRow(pins_->ComboBoxX22x, Get(bytes_, param::X22));
    SelectRow(pins_->ComboBoxX23x, Get(bytes_, param::X23));
    SelectRow(pins_->ComboBoxX24x, Get(bytes_, param::X24));
    SelectRow(pins_->ComboBoxX25x, Get(bytes_, param::X25));
    SelectRow(pins_->ComboBoxX26x, Get(bytes_, param::X26));
    SelectRow(pins_->ComboBoxX27x, Get(bytes_, param::X27));
    SelectRow(pins_->ComboBoxX28x, Get(bytes_, param::X28));
    SelectRow(pins_->ComboBoxX29x, Get(bytes_, param::X29));
    SelectRow(pins_->ComboBoxX210x, Get(bytes_, param::X210));
    SelectRow(pins_->ComboBoxLIN1MODEx, Get(bytes_, param::LIN1MODE));
    SelectRow(pins_->ComboBoxLIN2MODEx, Get(bytes_, param::LIN2MODE));
    SelectRow(sources_->ComboBoxPULSESRCNUMx, Get(bytes_, param::PULSESRCNUM));

    editor_.FillLinReactionList();

    const LinBusRules bus = ApplyLinBusRules(bytes_);
    lin_->PanelLINSPEED->setEnabled(bus.linSpeedEnabled);
    // Only a real change: Qt forgets a pending relayout of a hidden tab bar (after a language
    // switch) when it is told a visibility the tab already has, and the captions get clipped.
    const int linProgTab = pageControl_->indexOf(linProgPage_);
    if (pageControl_->isTabVisible(linProgTab) != bus.linProgTabVisible)
        pageControl_->setTabVisible(linProgTab, bus.linProgTabVisible);
    if (bus.linSpeedForced)
        SelectRow(lin_->ComboBoxLINSPEEDx, LinSpeed19200);
    lin_->ComboBoxLINPROTOCOLVERSIONx->setEnabled(bus.protocolVersionEnabled);
    lin_->ComboBoxLINSPEEDx->setEnabled(bus.linSpeedEnabled);

    fillSlaveTypes();

    SelectRow(lin_->ComboBoxLINSPEEDx, Get(bytes_, param::LINSPEED));
    SelectRow(lin_->ComboBoxLINPROTOCOLVERSIONx, Get(bytes_, param::LINPROTOCOLVERSION));
    lin_->CheckBoxLINSWAP_VOLDN_OK->setChecked(Get(bytes_, param::SWAP_VOLDN_OK) != 0);
    SelectRow(lin_->ComboBoxLIN_TEMP_RELAY_PINx, Get(bytes_, param::TEMP_RELAY_PIN));
    SelectRow(lin_->ComboBoxLINTYPE, Get(bytes_, param::LINTYPE));
    SelectRow(lin_->ComboBoxLINTYPESLAVEx, Get(bytes_, param::LINTYPESLAVE));
    lin_->CheckBoxLIN_LIGHT_VAR_ENABLE->setChecked(Get(bytes_, param::LIGHT_VAR_ENABLE) != 0);
    lin_->CheckBoxLIN_HEAT_VAR_ENABLE->setChecked(Get(bytes_, param::HEAT_VAR_ENABLE) != 0);

    ApplyBacklightDefaults(bytes_);

    const BacklightRules backlight = BacklightView(bytes_);
    if (backlight.diagVisible) {
        lin_->CheckBoxLIGHT_DIAG_USE->setChecked(Get(bytes_, param::LIGHT_DIAG_USE) != 0);
        lin_->Edit_Light_Day->setText(QString::number(Get(bytes_, param::Light_Day)));
        lin_->Edit_Light_Min->setText(QString::number(Get(bytes_, param::Light_Min)));
        lin_->Edit_Light_Max->setText(QString::number(Get(bytes_, param::Light_Max)));
    }
    lin_->CheckBoxLIGHT_DIAG_USE->setVisible(backlight.diagVisible);
    const std::initializer_list<QWidget*> lightControls{
        lin_->Edit_Light_Day,  lin_->Edit_Light_Min,  lin_->Edit_Light_Max,
        lin_->Label_Light_Day, lin_->Label_Light_Min, lin_->Label_Light_Max2};
    for (QWidget* w : lightControls)
        w->setVisible(backlight.editsVisible);
}

} // namespace korvex
