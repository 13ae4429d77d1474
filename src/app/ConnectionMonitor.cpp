// The connection monitor.
#include "ConnectionMonitor.h"

#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "host/Clock.h"
#include "host/MonitorState.h"
#include "host/UiHost.h"
#include "link/DeviceAccess.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "link/PortDoctor.h"
#include "link/PortFinder.h"
#include "link/ResultText.h"
#include "text/TextPair.h"

namespace korvex {

namespace {
constexpr TextPair SelectedText{"Выбран", "Selected"};
constexpr TextPair SearchOnText{"Поиск контроллера на %s%s", "Controller search on %s%s"};
constexpr TextPair SearchText{"Поиск контроллера%s", "Controller search%s"};
constexpr TextPair DisconnectLine{"********** Контроллер отключен **********",
                                  "******** Controller is disconnected **********"};
constexpr TextPair BootloaderText{"Загрузчик контроллера \"%s\" подключен к %s%s",
                                  "The bootloader of controller \"%s\" is connected to %s%s"};
constexpr TextPair ControllerText{"Контроллер \"%s V%d.%02d\" подключен к %s%s",
                                  "Controller \"%s V%d.%02d\" is connected to %s%s"};
constexpr TextPair SendingText{"Отправка изменений", "Send of changes"};
constexpr TextPair NoControllerText{"Контроллер не найден за 10 с: %1",
                                    "No controller found in 10 s: %1"};

constexpr std::uint16_t KeyPending = 0x4000;
constexpr std::uint16_t TextPending = 0x8000;

QByteArray Utf8(const QString& text) {
    return text.toUtf8();
}
} // namespace

QString ConnectionMonitor::RefusalNote(int language) const {
    const QString why = PortProblemShortText(link_.serial.openFailure(), language);
    if (why.isEmpty())
        return {};
    // Punctuation spaces, as wide as the dots they stand for, keep the reason from jumping while
    // the dots count.
    const QString pad(3 - monitor_.progressDots, QChar(0x2008));
    return pad + QStringLiteral(" \u2014 ") + why;
}

std::function<DoctorReport(int language)> SystemDoctor(PortFinder& finder) {
    return [&finder](int language) {
        return RunPortDoctor(GatherSystemFacts(SystemView{}), finder.findPorts(), language);
    };
}

void ConnectionMonitor::NoteFruitlessSearch(int language) {
    const std::uint32_t now = host_.clock->Now();
    if (!searching_) {
        searching_ = true;
        searchSince_ = now;
        return;
    }
    if (searchExplained_ || !doctor || now - searchSince_ < ExplainSearchAfterMs)
        return;
    searchExplained_ = true;
    const DoctorReport report = doctor(language);
    // The panel names the first check that failed, the next step; the log keeps them all.
    QString finding = DoctorHintText(language);
    for (const DoctorLine& line : report.lines) {
        if (!line.ok) {
            finding = line.text;
            break;
        }
    }
    const QString text = LangText(NoControllerText, language).arg(finding);
    host_.ShowPanelMessage(true, 0, 0, text);
    host_.LogLine(LangText(NoControllerText, language).arg(QString()).trimmed());
    for (const DoctorLine& line : report.lines)
        host_.LogLine(DoctorLineText(line));
}

void ConnectionMonitor::Tick() {
    MonitorSuspension suspended(host_);
    host_.ProgressHide();
    PollController();
    SendChangedBytes();
}

int ConnectionMonitor::PollController() {
    const int lang = language_.current;
    int rc = result::Ok;
    if (!monitor_.controllerConnected) {
        monitor_.lastSerial = 0;
        rc = link_.device.ComProbe(identity_);
        interval_ = SlowPollMs;
    } else {
        rc = link_.device.ReadIdentity(identity_);
        if (rc == result::Ok) {
            const unsigned source = (identity_.statusWord() & 0xFFu) + 1;
            view_.SetCurrentSource(
                true, QStringLiteral("%1: %2").arg(LangText(SelectedText, lang)).arg(source));
            if (monitor_.commandInProgress)
                identity_.setStatusWord(identity_.statusWord() & 0x3FFF);
            const std::uint16_t pending = identity_.statusWord() & (KeyPending | TextPending);
            if (pending & KeyPending) {
                if (showKeyPress && showKeyPress() && autoCaptureStep)
                    autoCaptureStep();
                interval_ = FastPollMs;
                monitor_.fastPollTicks = FastPolls;
            } else if (pending == TextPending) {
                if (readTerminalText)
                    rc = readTerminalText();
                interval_ = FastPollMs;
                monitor_.fastPollTicks = FastPolls;
            } else if (monitor_.fastPollTicks > 0) {
                --monitor_.fastPollTicks;
            } else {
                interval_ = SlowPollMs;
            }
        }
    }

    const QString& port = link_.ports.portName;
    if (rc != result::Ok) {
        if (!monitor_.controllerConnected) {
            NoteFruitlessSearch(lang);
            if (++monitor_.progressDots > 3)
                monitor_.progressDots = 0;
            const QByteArray dots(monitor_.progressDots, '.');
            if (!port.isEmpty())
                view_.SetStatusText(
                    LangFormat(SearchOnText, lang, Utf8(port).constData(), dots.constData()) +
                    RefusalNote(lang));
            else
                view_.SetStatusText(LangFormat(SearchText, lang, dots.constData()));
        } else {
            view_.SetStatusText(ResultText(rc, lang));
            host_.LogLine(LangText(DisconnectLine, lang));
            view_.SetCurrentSource(false, LangText(SelectedUnknownText, lang));
            monitor_.controllerConnected = false;
            view_.SetToolbarBusy(false);
        }
        return rc;
    }

    if (identity_.serialNumber() != monitor_.lastSerial) {
        monitor_.lastSerial = identity_.serialNumber();
        monitor_.imageInSync = false;
        view_.ReadDeviceConfiguration();
    }
    if (!monitor_.controllerConnected) {
        searching_ = false;
        if (searchExplained_)
            host_.ClearPanelMessage();
        searchExplained_ = false;
        monitor_.progressDots = 0;
        link_.device.PrintIdentity(identity_);
        monitor_.controllerConnected = true;
        if (resetTerminalLine)
            resetTerminalLine();
        view_.SetToolbarBusy(false);
    } else {
        if (++monitor_.progressDots > 10)
            monitor_.progressDots = 0;
        const QByteArray dots(monitor_.progressDots, '.');
        const QByteArray name = Utf8(identity_.deviceName());
        if (identity_.isBootloader())
            view_.SetStatusText(LangFormat(BootloaderText, lang, name.constData(),
                                           Utf8(port).constData(), dots.constData()));
        else
            view_.SetStatusText(LangFormat(
                ControllerText, lang, name.constData(), int(identity_.appVersion() / 100),
                int(identity_.appVersion() % 100), Utf8(port).constData(), dots.constData()));
    }
    return rc;
}

void ConnectionMonitor::PollSoon() {
    interval_ = AnswerPollMs;
    monitor_.fastPollTicks = FastPolls;
}

int ConnectionMonitor::SendChangedBytes() {
    if (!monitor_.imageInSync)
        return 0;
    int sent = 0;
    int i = 0;
    while (i < ConfigImageSize) {
        if (image_.bytes[i] == image_.shadowCopy[i]) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < ConfigImageSize && image_.bytes[i] != image_.shadowCopy[i]) {
            image_.shadowCopy[i] = image_.bytes[i];
            ++i;
        }
        // A run whose write fails is not retried: the box has told the user, and the shadow
        // copy already holds it so that the same error does not repeat on every tick.
        if (monitor_.controllerConnected) {
            if (sent == 0 && beforeSend)
                beforeSend();
            transfer_.WriteBlock(area::Configuration, start, image_.bytes.data() + start,
                                 i - start);
            sent += i - start;
        }
    }
    if (sent != 0)
        host_.ShowPanelMessage(false, 1000, 250, LangText(SendingText, language_));
    return sent;
}

} // namespace korvex
