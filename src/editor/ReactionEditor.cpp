// The reaction pages: they apply the view that the reaction rules compute and hand each user
// change to the rule that stores it, then ask the editor to show the entry again.
#include "ReactionEditor.h"

#include "config/ChoiceBoxes.h"

#include "config/EnterOnlyEdit.h"
#include "config/EntryWords.h"
#include "config/Vocabulary.h"

#include "ui_ReactionPageAnalog.h"
#include "ui_ReactionPageEventControl.h"
#include "ui_ReactionPageLin.h"
#include "ui_ReactionPagePin.h"
#include "ui_ReactionPageSource.h"

#include <QMouseEvent>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

namespace korvex {

namespace {

QStringList ListItems(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

QStringList EventTargetItems(int language) {
    QStringList items{LangText(PowerOnEventName, language)};
    for (int n = 1; n <= EntryCount; ++n)
        items << QString::number(n);
    return items;
}

} // namespace

ReactionEditor::ReactionEditor(QTabWidget* pageControlReaction, EditorContext context,
                               QObject* parent)
    : QObject(parent), pageControl_(pageControlReaction), context_(std::move(context)),
      lin_(std::make_unique<Ui::ReactionPageLin>()), pin_(std::make_unique<Ui::ReactionPagePin>()),
      analog_(std::make_unique<Ui::ReactionPageAnalog>()),
      source_(std::make_unique<Ui::ReactionPageSource>()),
      eventControl_(std::make_unique<Ui::ReactionPageEventControl>()) {
    auto* zero = new QWidget;
    zero->setObjectName(QStringLiteral("TabSheetReactionZero"));
    auto* linPage = new QWidget;
    lin_->setupUi(linPage);
    auto* pinPage = new QWidget;
    pin_->setupUi(pinPage);
    auto* analogPage = new QWidget;
    analog_->setupUi(analogPage);
    auto* sourcePage = new QWidget;
    source_->setupUi(sourcePage);
    auto* eventControlPage = new QWidget;
    eventControl_->setupUi(eventControlPage);
    const int lang = context_.language.current;
    int kindIndex = 0;
    for (QWidget* page : {zero, linPage, pinPage, analogPage, sourcePage, eventControlPage})
        pageControl_->addTab(page, TableText(ReactionKindNames, kindIndex++, lang));
    pageControl_->setCurrentIndex(0);
    // Captions are shown whole; a bar too narrow for them scrolls.
    pageControl_->setElideMode(Qt::ElideNone);
    pageControl_->setUsesScrollButtons(true);
    // A page is chosen by a left click only: a page changed by keyboard would show a kind the
    // entry does not have. From the keyboard the strip opens the kind menu (EditorPanel).
    pageControl_->tabBar()->setFocusPolicy(Qt::TabFocus);
    tabBar_ = pageControl_->tabBar();
    tabBar_->installEventFilter(this);

    connectControls();
    LanguageChanged();
    FillLinReactionList();
}

ReactionEditor::~ReactionEditor() = default;

int ReactionEditor::pageCount() const {
    return pageControl_->count();
}

void ReactionEditor::connectControls() {
    connectChoice(lin_->ComboBoxReactionLINx, ChooseReactionLinCommand);
    connectFlag(lin_->CheckBoxReactionLINTrigger, SetReactionLinTrigger);

    connectChoice(pin_->ComboBoxEventReactionPinNUMx, ChooseReactionPin);
    connectChoice(pin_->ComboBoxEventReactionPinMODE, ChooseReactionPinMode);
    connectNumber(pin_->EditEventReactionPinTO, EnterReactionPinDuration);

    connectChannel(0, analog_->ComboBoxReactionAnalogVOUT1type, analog_->EditReactionAnalogVOUT1,
                   analog_->CheckBoxReactionAnalogVOUT1save);
    connectChannel(1, analog_->ComboBoxReactionAnalogVOUT2type, analog_->EditReactionAnalogVOUT2,
                   analog_->CheckBoxReactionAnalogVOUT2save);
    connectNumber(analog_->EditReactionAnalogTO, EnterReactionVoutTime);

    connectChoice(source_->ComboBoxEventReactionSRC, ChooseReactionSource);
    connectFlag(source_->CheckBoxEventReactionSRCSave, SetReactionSourceSave);
    connect(source_->SpeedButtonEventReactionSRCSkipx, &QToolButton::clicked, this,
            &ReactionEditor::skipClicked);

    connectChoice(eventControl_->ComboBoxReactionEventHandleType, ChooseEventHandleType);
    connectChoice(eventControl_->ComboBoxReactionEventHandleNumx, ChooseEventHandleTarget);

    // What is typed counts only with Enter; leaving an edit otherwise shows the entry again.
    ShowStoredOnFocusOut(pin_->EditEventReactionPinTO, [this] { return shown_.pinDurationText; });
    ShowStoredOnFocusOut(analog_->EditReactionAnalogVOUT1, [this] { return shown_.voutText[0]; });
    ShowStoredOnFocusOut(analog_->EditReactionAnalogVOUT2, [this] { return shown_.voutText[1]; });
    ShowStoredOnFocusOut(analog_->EditReactionAnalogTO, [this] { return shown_.voutTimeText; });
}

// Only the user's choice: a combo set by the display reports nothing.
void ReactionEditor::connectChoice(QComboBox* box, ChoiceChange change) {
    connect(box, &QComboBox::activated, this, [this, change](int item) {
        change(context_.image.bytes, context_.selectedEntry(), item);
        context_.showSelectedEntry();
    });
}

// Runs when the display sets the box too, so the entry holds what the box shows; the display
// in progress ignores the call back.
void ReactionEditor::connectFlag(QCheckBox* box, FlagChange change) {
    connect(box, &QCheckBox::toggled, this, [this, change](bool ticked) {
        change(context_.image.bytes, context_.selectedEntry(), ticked);
        context_.showSelectedEntry();
    });
}

void ReactionEditor::connectChannel(int channel, QComboBox* action, QLineEdit* volts,
                                    QCheckBox* save) {
    connect(action, &QComboBox::activated, this, [this, channel](int item) {
        ChooseReactionVoutAction(context_.image.bytes, context_.selectedEntry(), channel, item);
        context_.showSelectedEntry();
    });
    connect(volts, &QLineEdit::returnPressed, this, [this, channel, volts] {
        EnterReactionVoltage(context_.image.bytes, context_.selectedEntry(), channel,
                             volts->text());
        context_.showSelectedEntry();
    });
    connect(save, &QCheckBox::toggled, this, [this, channel](bool ticked) {
        SetReactionVoutSave(context_.image.bytes, context_.selectedEntry(), channel, ticked);
        context_.showSelectedEntry();
    });
}

void ReactionEditor::connectNumber(QLineEdit* edit, NumberEntry entry) {
    connect(edit, &QLineEdit::returnPressed, this, [this, edit, entry] {
        const EditNumberResult result = entry(context_.image.bytes, context_.selectedEntry(),
                                              edit->text(), context_.language.current);
        // A refused number has been put back; nothing changed, so nothing is redrawn.
        if (ShowEditNumberResult(context_.host, edit, result))
            context_.showSelectedEntry();
    });
}

bool ReactionEditor::eventFilter(QObject* watched, QEvent* event) {
    // The stored pointer: while the page control is being destroyed its tab bar still gets events.
    if (watched == tabBar_ && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const int page = pageControl_->tabBar()->tabAt(mouse->position().toPoint());
            if (page >= 0 && page != pageControl_->currentIndex() &&
                pageControl_->isTabEnabled(page))
                pageClicked(page);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ReactionEditor::pageClicked(int page) {
    context_.autoCaptureOff();
    if (ChooseReactionKind(context_.image.bytes, context_.selectedEntry(), page))
        context_.showSelectedEntry();
}

void ReactionEditor::skipClicked() {
    const int n = context_.selectedEntry();
    std::uint8_t mask = EntryRef(context_.image.bytes, n).get(entry::reactionOption);
    QToolButton* button = source_->SpeedButtonEventReactionSRCSkipx;
    const QPoint below = button->mapToGlobal(QPoint(button->width() / 2, button->height()));
    const int lang = context_.language.current;
    // A cancelled dialog leaves the copy as it was, so storing it back changes nothing.
    context_.selectSources(LangText(SkipDialogFirstLine, lang),
                           LangText(SkipDialogSecondLine, lang), below, mask);
    SetReactionSkipMask(context_.image.bytes, n, mask);
    context_.showSelectedEntry();
}

void ReactionEditor::Show(int entry) {
    const ReactionView view = ShowReaction(context_.image.bytes, entry, context_.language.current);
    shown_ = view;
    pageControl_->setCurrentIndex(view.page);
    switch (view.page) {
    case kind::ReactionLin:
        if (ListItems(lin_->ComboBoxReactionLINx) != view.linItems)
            SetItemsKeepingRow(lin_->ComboBoxReactionLINx, view.linItems);
        SelectRow(lin_->ComboBoxReactionLINx, view.linItem);
        lin_->CheckBoxReactionLINTrigger->setChecked(view.linTrigger);
        break;
    case kind::ReactionPin:
        SelectRow(pin_->ComboBoxEventReactionPinNUMx, view.pinItem);
        SelectRow(pin_->ComboBoxEventReactionPinMODE, view.pinModeItem);
        pin_->ComboBoxEventReactionPinMODE->setEnabled(view.pinModeEnabled);
        pin_->EditEventReactionPinTO->setText(view.pinDurationText);
        pin_->EditEventReactionPinTO->setEnabled(view.pinDurationEnabled);
        break;
    case kind::ReactionRadioControl:
        analog_->EditReactionAnalogVOUT1->setText(view.voutText[0]);
        analog_->EditReactionAnalogVOUT2->setText(view.voutText[1]);
        analog_->EditReactionAnalogTO->setText(view.voutTimeText);
        analog_->EditReactionAnalogTO->setEnabled(view.voutTimeEnabled);
        SelectRow(analog_->ComboBoxReactionAnalogVOUT1type, view.voutActionItem[0]);
        SelectRow(analog_->ComboBoxReactionAnalogVOUT2type, view.voutActionItem[1]);
        analog_->CheckBoxReactionAnalogVOUT1save->setChecked(view.voutSave[0]);
        analog_->CheckBoxReactionAnalogVOUT2save->setChecked(view.voutSave[1]);
        break;
    case kind::ReactionSource:
        SelectRow(source_->ComboBoxEventReactionSRC, view.sourceItem);
        source_->CheckBoxEventReactionSRCSave->setChecked(view.sourceSaveChecked);
        source_->CheckBoxEventReactionSRCSave->setEnabled(view.sourceSaveEnabled);
        source_->SpeedButtonEventReactionSRCSkipx->setText(view.skipCaption);
        // Its caption changes with the entry: so does what screen readers say.
        source_->SpeedButtonEventReactionSRCSkipx->setAccessibleName(view.skipCaption);
        source_->SpeedButtonEventReactionSRCSkipx->setEnabled(view.skipEnabled);
        break;
    case kind::ReactionEventControl:
        SelectRow(eventControl_->ComboBoxReactionEventHandleType, view.eventHandleTypeItem);
        SelectRow(eventControl_->ComboBoxReactionEventHandleNumx, view.eventHandleNumItem);
        break;
    default:
        break;
    }
}

void ReactionEditor::LanguageChanged() {
    const int lang = context_.language.current;
    SetItemsKeepingRow(pin_->ComboBoxEventReactionPinNUMx, TableTexts(ReactionPins, lang));
    SetItemsKeepingRow(eventControl_->ComboBoxReactionEventHandleNumx, EventTargetItems(lang));
    analog_->EditReactionAnalogVOUT1->setToolTip(LangText(ReactionVout1Hint, lang));
    analog_->EditReactionAnalogVOUT2->setToolTip(LangText(ReactionVout2Hint, lang));
    analog_->EditReactionAnalogTO->setToolTip(LangText(ReactionVoutTimeHint, lang));
}

void ReactionEditor::FillLinReactionList() {
    SetItemsKeepingRow(lin_->ComboBoxReactionLINx, ReactionLinItems(context_.image.bytes));
}

} // namespace korvex
