// The event pages: EventRules decides, the controls show and forward.
#include "EventEditor.h"

#include "config/ChoiceBoxes.h"
#include "config/EnterOnlyEdit.h"
#include "config/EventRules.h"

#include "ui_EventBottom.h"
#include "ui_EventPageLin.h"
#include "ui_EventPageTimeout.h"
#include "ui_EventPageVoltage.h"

#include <QGuiApplication>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace korvex {

namespace {

QWidget* SetUpPage(auto& form) {
    auto* page = new QWidget;
    form.setupUi(page);
    return page;
}

QWidget* PlainPage(const char* name) {
    auto* page = new QWidget;
    page->setObjectName(QLatin1String(name));
    return page;
}

} // namespace

EventEditor::EventEditor(QTabWidget* pageControl, QWidget* bottomPanel, EditorContext context,
                         QObject* parent)
    : QObject(parent), pageControl_(pageControl), context_(std::move(context)),
      bottom_(std::make_unique<Ui::EventBottom>()), lin_(std::make_unique<Ui::EventPageLin>()),
      timeout_(std::make_unique<Ui::EventPageTimeout>()),
      voltage_(std::make_unique<Ui::EventPageVoltage>()) {
    bottom_->setupUi(bottomPanel);

    QWidget* zero = PlainPage("TabSheetEventZero");
    auto* zeroLayout = new QVBoxLayout(zero);
    zeroLayout->setContentsMargins(2, 2, 2, 2);
    capturePanel_ = new QLabel(zero);
    capturePanel_->setObjectName(QStringLiteral("PanelEventZerox"));
    capturePanel_->setAlignment(Qt::AlignCenter);
    capturePanel_->setWordWrap(true);
    capturePanel_->setFrameShape(QFrame::Panel);
    capturePanel_->setFrameShadow(QFrame::Raised);
    capturePanel_->setCursor(Qt::WhatsThisCursor);
    zeroLayout->addWidget(capturePanel_);

    pageControl_->addTab(zero, QStringLiteral("Не задано"));
    pageControl_->addTab(SetUpPage(*lin_), QStringLiteral("LIN"));
    pageControl_->addTab(PlainPage("TabSheetEventSRC"), QStringLiteral("Источник"));
    pageControl_->addTab(SetUpPage(*timeout_), QStringLiteral("Таймаут"));
    pageControl_->addTab(SetUpPage(*voltage_), QStringLiteral("Напряжение"));
    pageControl_->setCurrentIndex(0);

    bottom_->ComboBoxEventEvent->setEnabled(false);
    bottom_->CheckBoxEventOnce->setEnabled(false);
    bottom_->ComboBoxEventSRCMASK->setEnabled(false);
    connectControls();
}

EventEditor::~EventEditor() = default;

int EventEditor::pageCount() const {
    return pageControl_->count();
}

QLabel* EventEditor::currentSourcePanel() const {
    return bottom_->PanelCurrentSRCx;
}

void EventEditor::connectControls() {
    ConfigBytes& bytes = context_.image.bytes;
    // Each handler changes the selected entry and shows it again.
    auto edit = [this, &bytes](auto change) {
        return [this, &bytes, change](auto... value) {
            change(bytes, context_.selectedEntry(), value...);
            context_.showSelectedEntry();
        };
    };
    // A page is chosen by a left click only: a page changed by keyboard would show a kind the
    // entry does not have. From the keyboard the strip opens the kind menu (EditorPanel).
    pageControl_->tabBar()->setFocusPolicy(Qt::TabFocus);
    connect(pageControl_->tabBar(), &QTabBar::tabBarClicked, this, [this, &bytes](int page) {
        if (page < 0 || (QGuiApplication::mouseButtons() & Qt::LeftButton) == 0)
            return;
        // The page already shown is no change: automatic capture goes on.
        if (page == pageControl_->currentIndex())
            return;
        context_.autoCaptureOff();
        if (ChooseEventKind(bytes, context_.selectedEntry(), page))
            context_.showSelectedEntry();
    });
    connect(bottom_->ComboBoxEventEvent, &QComboBox::activated, this, edit(ChoosePress));
    // Also when the display sets the box: what is shown is what is stored.
    connect(bottom_->CheckBoxEventOnce, &QCheckBox::toggled, this, edit(SetOnce));
    connect(bottom_->ComboBoxEventSRCMASK, &QComboBox::activated, this,
            &EventEditor::sourceMaskChosen);
    connect(lin_->ComboBoxEventLINx, &QComboBox::activated, this, edit(ChooseLinKey));
    connect(timeout_->ComboBoxEditEventTimeoutTypex, &QComboBox::activated, this,
            edit(ChooseTimeoutType));
    connect(voltage_->ComboBoxEventVoltageInputx, &QComboBox::activated, this,
            edit(ChooseVoltageInput));
    connect(voltage_->SpeedButtonEventVoltageZnakx, &QToolButton::clicked, this, [this, &bytes] {
        QToolButton* sign = voltage_->SpeedButtonEventVoltageZnakx;
        sign->setText(ToggleVoltageSign(bytes, context_.selectedEntry(), sign->text()));
        context_.showSelectedEntry();
    });

    using Enter = EditNumberResult (*)(ConfigBytes&, int, const QString&, int);
    auto number = [this, &bytes](QLineEdit* line, Enter enter) {
        connect(line, &QLineEdit::returnPressed, this, [this, &bytes, line, enter] {
            const EditNumberResult r =
                enter(bytes, context_.selectedEntry(), line->text(), context_.language.current);
            if (ShowEditNumberResult(context_.host, line, r))
                context_.showSelectedEntry();
        });
    };
    number(timeout_->EditEventTimeout, EnterEventTimeout);
    number(voltage_->EditEventVoltageValue, EnterVoltageThreshold);
    number(voltage_->EditEventVoltageTO, EnterVoltageTime);

    // Leaving an edit without Enter shows the stored value again.
    auto stored = [this, &bytes](QString EventView::*text) {
        return [this, &bytes, text] {
            ConfigBytes copy = bytes;
            return ShowEventPart(copy, context_.selectedEntry(), context_.language.current).*text;
        };
    };
    ShowStoredOnFocusOut(timeout_->EditEventTimeout, stored(&EventView::timeoutText));
    ShowStoredOnFocusOut(voltage_->EditEventVoltageValue, stored(&EventView::voltageValueText));
    ShowStoredOnFocusOut(voltage_->EditEventVoltageTO, stored(&EventView::voltageTimeText));
}

void EventEditor::sourceMaskChosen(int index) {
    ConfigBytes& bytes = context_.image.bytes;
    const int n = context_.selectedEntry();
    QComboBox* box = bottom_->ComboBoxEventSRCMASK;
    if (ChooseSourceMaskItem(bytes, n, index)) {
        std::uint8_t mask = Get(bytes, EntryField(n, entry::eventSourceMask));
        const int language = context_.language.current;
        context_.selectSources(LangText(EventSourcesCaption1, language),
                               LangText(EventSourcesCaption2, language),
                               box->mapToGlobal(QPoint(box->width() / 2, box->height())), mask);
        // A dialog that leaves no source chosen leaves an unchanged entry too, so the display
        // would not run: the list must go back to "Any" here.
        if (StoreChosenSources(bytes, n, mask) == 0)
            box->setCurrentIndex(0);
    }
    context_.showSelectedEntry();
}

void EventEditor::Show(int n) {
    const EventView v = ShowEventPart(context_.image.bytes, n, context_.language.current);
    pageControl_->setCurrentIndex(v.page);

    QComboBox* press = bottom_->ComboBoxEventEvent;
    SelectRow(press, v.pressIndex);
    press->setEnabled(v.pressEnabled);
    bottom_->CheckBoxEventOnce->setChecked(v.onceChecked);
    bottom_->CheckBoxEventOnce->setEnabled(v.onceEnabled);
    QComboBox* mask = bottom_->ComboBoxEventSRCMASK;
    if (mask->count() > 1)
        mask->setItemText(1, v.sourceMaskSecondItem);
    SelectRow(mask, v.sourceMaskIndex);
    mask->setEnabled(v.sourceMaskEnabled);

    switch (v.page) {
    case kind::EventLin:
        SelectRow(lin_->ComboBoxEventLINx, v.linKeyIndex);
        break;
    case kind::EventTimeout:
        SelectRow(timeout_->ComboBoxEditEventTimeoutTypex, v.timeoutTypeIndex);
        timeout_->EditEventTimeout->setText(v.timeoutText);
        break;
    case kind::EventVoltage:
        SelectRow(voltage_->ComboBoxEventVoltageInputx, v.voltageInputIndex);
        voltage_->SpeedButtonEventVoltageZnakx->setText(v.voltageSign);
        voltage_->EditEventVoltageValue->setText(v.voltageValueText);
        voltage_->PanelEventVoltageMVx->setText(v.voltageUnit);
        voltage_->EditEventVoltageTO->setText(v.voltageTimeText);
        break;
    default:
        break;
    }
}

void EventEditor::LanguageChanged() {
    const int language = context_.language.current;
    SetItemsKeepingRow(lin_->ComboBoxEventLINx, LinKeyItems());
    SetItemsKeepingRow(timeout_->ComboBoxEditEventTimeoutTypex, TimeoutTypeItems(language));
    SetItemsKeepingRow(voltage_->ComboBoxEventVoltageInputx, VoltageInputItems());
}

} // namespace korvex
