// The window's side of the user-interface seam.
#include "WindowHost.h"

#include "app/WindowPlacement.h"
#include "link/LogWindow.h"
#include "text/TextPair.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

#include <cstdio>

namespace korvex {

namespace {
constexpr TextPair ErrorTitle{"Ошибка", "Error"};
constexpr TextPair QuestionTitle{"Вопрос", "Question"};
constexpr TextPair WarningTitle{"Предупреждение", "Warning"};
constexpr TextPair InformationTitle{"Информация", "Information"};
constexpr TextPair SaveButtonText{"Сохранить", "Save"};
constexpr TextPair DiscardButtonText{"Не сохранять", "Discard"};
constexpr TextPair CancelButtonText{"Отмена", "Cancel"};
} // namespace

WindowHost::WindowHost(QWidget* mainWindow, QLabel* panel, QLabel* status, LogWindow& log,
                       const LanguageState& language)
    : QObject(mainWindow), mainWindow_(mainWindow), panel_(panel), status_(status), log_(log),
      language_(language), gauge_(new QProgressBar(panel)) {
    gauge_->setObjectName(QStringLiteral("CGaugeProgressProcent"));
    panel_->installEventFilter(this);
    // The gauge fills the panel, which follows the window's width.
    auto* fill = new QHBoxLayout(panel);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(gauge_);
    gauge_->setTextVisible(true);
    gauge_->hide();
    monitorTimer_.setObjectName(QStringLiteral("TimerLUMAPADSCREENTest"));
    flashTimer_.setObjectName(QStringLiteral("TimerFlash"));
    universalTimer_.setObjectName(QStringLiteral("UniversalTimer"));
    monitorTimer_.setInterval(200);
    universalTimer_.setInterval(100);
    connect(&monitorTimer_, &QTimer::timeout, this, [this] {
        if (onMonitorTick)
            onMonitorTick();
    });
    connect(&flashTimer_, &QTimer::timeout, this,
            [this] { panel_->setVisible(!panel_->isVisible()); });
    connect(&universalTimer_, &QTimer::timeout, this, [this] {
        // Copied first: the callback may cancel or replace itself.
        const auto callback = later_;
        if (callback)
            callback();
    });
}

int WindowHost::ShowMessageBox(unsigned flags, const QString& text) {
    const int lang = language_.current;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    // The icon is the high nibble of the low byte; the low nibble holds the buttons.
    switch (flags & 0xF0) {
    case mb::IconError:
        title = LangText(ErrorTitle, lang);
        icon = QMessageBox::Critical;
        break;
    case mb::IconQuestion:
        title = LangText(QuestionTitle, lang);
        icon = QMessageBox::Question;
        flags |= mb::YesNo;
        break;
    case mb::IconWarning:
        // Every warning is a yes/no question.
        title = LangText(WarningTitle, lang);
        icon = QMessageBox::Warning;
        flags |= mb::YesNo;
        break;
    case mb::IconInformation:
        title = LangText(InformationTitle, lang);
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    const bool yesNo = (flags & 0x0F) == mb::YesNo;
    if (unattended_) {
        LogLine(text);
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    if (closed_ || unattended_)
        return yesNo ? mb::IdNo : mb::IdOk;
    MonitorSuspension suspended(*this);
    if (answerBox)
        return answerBox(flags, text);

    QMessageBox box(icon, title, text, QMessageBox::NoButton, mainWindow_);
    if (yesNo) {
        QPushButton* yes = box.addButton(QMessageBox::Yes);
        QPushButton* no = box.addButton(QMessageBox::No);
        box.setDefaultButton((flags & mb::DefButton2) ? no : yes);
        box.setEscapeButton(no);
    } else {
        box.addButton(QMessageBox::Ok);
    }
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.adjustSize();
    box.move(MessageBoxPosition(mainWindow_->frameGeometry(), box.frameGeometry().size()));
    const int pressed = box.exec();
    if (!yesNo)
        return mb::IdOk;
    return pressed == QMessageBox::Yes ? mb::IdYes : mb::IdNo;
}

WindowHost::SaveAnswer WindowHost::AskToSave(const QString& text) {
    if (unattended_)
        return SaveAnswer::Cancel;
    if (closed_)
        return SaveAnswer::Discard;
    MonitorSuspension suspended(*this);
    if (answerBox) {
        const int answer = answerBox(mb::IconQuestion, text);
        return answer == mb::IdYes  ? SaveAnswer::Save
               : answer == mb::IdNo ? SaveAnswer::Discard
                                    : SaveAnswer::Cancel;
    }
    const int lang = language_.current;
    QMessageBox box(QMessageBox::Question, LangText(QuestionTitle, lang), text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, mainWindow_);
    box.button(QMessageBox::Save)->setText(LangText(SaveButtonText, lang));
    box.button(QMessageBox::Discard)->setText(LangText(DiscardButtonText, lang));
    box.button(QMessageBox::Cancel)->setText(LangText(CancelButtonText, lang));
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.adjustSize();
    box.move(MessageBoxPosition(mainWindow_->frameGeometry(), box.frameGeometry().size()));
    const int pressed = box.exec();
    return pressed == QMessageBox::Save      ? SaveAnswer::Save
           : pressed == QMessageBox::Discard ? SaveAnswer::Discard
                                             : SaveAnswer::Cancel;
}

void WindowHost::ProcessEvents() {
    QApplication::processEvents();
}

void WindowHost::ProgressBegin(int total, const QString& caption) {
    progressCaption_ = caption;
    status_->setText(caption);
    progressTotal_ = 0;
    gauge_->setRange(0, total > 0 ? total : 1);
    gauge_->setValue(0);
    gauge_->setGeometry(panel_->rect());
    gauge_->show();
    ProcessEvents();
}

void WindowHost::ProgressStep(int count) {
    if (gauge_->value() >= gauge_->maximum())
        return;
    if (gauge_->isHidden()) {
        status_->setText(progressCaption_);
        gauge_->setGeometry(panel_->rect());
        gauge_->show();
    }
    progressTotal_ += count;
    gauge_->setValue(qMin(progressTotal_, gauge_->maximum()));
    ProcessEvents();
}

void WindowHost::ProgressHide() {
    if (gauge_->isVisible())
        gauge_->hide();
}

void WindowHost::LogLineColored(LogColour colour, const QString& text) {
    log_.LogLineColored(colour, text);
}

void WindowHost::SetPanelColours(bool alert) {
    QPalette palette = panel_->palette();
    const QPalette system = QApplication::palette();
    if (alert) {
        palette.setColor(QPalette::Window, Qt::red);
        palette.setColor(QPalette::WindowText, system.color(QPalette::Base));
    } else {
        palette.setColor(QPalette::Window, system.color(QPalette::Button));
        palette.setColor(QPalette::WindowText, system.color(QPalette::WindowText));
    }
    panel_->setPalette(palette);
}

void WindowHost::ShowPanelMessage(bool alert, int hideMs, int blinkMs, const QString& text) {
    RunLater(nullptr, 0);
    panel_->setVisible(true);
    ShowPanelText(text);
    // A normal notice keeps the colours of an alert it replaces until the panel is cleared.
    if (alert)
        SetPanelColours(true);
    if (hideMs != 0)
        RunLater([this] { ClearPanelMessage(); }, hideMs);
    if (blinkMs != 0) {
        flashTimer_.start(blinkMs);
    } else {
        flashTimer_.stop();
        panel_->setVisible(true);
    }
}

void WindowHost::ClearPanelMessage() {
    flashTimer_.stop();
    RunLater(nullptr, 0);
    panel_->setVisible(true);
    SetPanelColours(false);
    ShowPanelText(QString());
}

void WindowHost::ShowPanelText(const QString& text) {
    panelText_ = text;
    // Screen readers read the whole notice, whatever the panel has room for.
    panel_->setAccessibleName(text);
    FitPanelText();
    if (!cutShown_)
        return;
    // A notice cut short is in the log whole, once: after the operation that showed it, which
    // may log it itself.
    QTimer::singleShot(0, this, [this, text] {
        if (!log_.PlainText().right(4 * text.size() + 200).contains(text))
            log_.LogLineColored(LogColour::WindowText, text);
    });
}

void WindowHost::FitPanelText() {
    // The panel takes what the buttons leave (its size policy ignores its text), so a long notice
    // never moves a button: it is cut short with "…" and shown whole in the hint.
    const int room = panel_->contentsRect().width() - 2 * panel_->margin() - 4;
    const QFontMetrics metrics(panel_->font());
    const QString shown = metrics.horizontalAdvance(panelText_) <= room
                              ? panelText_
                              : metrics.elidedText(panelText_, Qt::ElideRight, qMax(room, 0));
    const bool cut = shown != panelText_;
    // The panel's own hint comes back unless the language switch has set it anew meanwhile.
    const bool ours = cutShown_ && panel_->toolTip() == hintShown_;
    if (cut && !ours)
        panelHint_ = panel_->toolTip();
    else if (!cut && ours)
        panel_->setToolTip(panelHint_);
    if (cut)
        panel_->setToolTip(panelText_);
    hintShown_ = panel_->toolTip();
    cutShown_ = cut;
    panel_->setText(shown);
}

bool WindowHost::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel_ && event->type() == QEvent::Resize && !panelText_.isEmpty())
        FitPanelText();
    return QObject::eventFilter(watched, event);
}

void WindowHost::RunLater(std::function<void()> callback, int intervalMs) {
    universalTimer_.stop();
    later_ = std::move(callback);
    if (!later_ || intervalMs == 0) {
        later_ = nullptr;
        return;
    }
    universalTimer_.start(intervalMs);
}

void WindowHost::SuspendMonitor() {
    if (monitorSuspend_ == 0)
        monitorTimer_.stop();
    ++monitorSuspend_;
}

void WindowHost::ResumeMonitor() {
    if (monitorSuspend_ == 0)
        return;
    if (--monitorSuspend_ == 0 && !closing_)
        monitorTimer_.start();
}

void WindowHost::BeginClosing() {
    closing_ = true;
    monitorTimer_.stop();
}

void WindowHost::StopAll() {
    closing_ = true;
    closed_ = true;
    monitorTimer_.stop();
    flashTimer_.stop();
    RunLater(nullptr, 0);
}

} // namespace korvex
