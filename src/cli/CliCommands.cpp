// Option parsing and the commands of korvex-cli.
#include "CliCommands.h"

#include "CliHost.h"
#include "CliSession.h"
#include "FirmwareCommands.h"
#include "LinCommands.h"
#include "SnapshotCommands.h"
#include "WatchCommands.h"
#include "config/ConfigFile.h"
#include "config/ConfigImage.h"
#include "config/ConfigTransfer.h"
#include "config/ValueEntry.h"
#include "config/Vocabulary.h"
#include "editor/EntryText.h"
#include "host/CommandTexts.h"
#include "host/FileTexts.h"
#include "host/MonitorState.h"
#include "link/DeviceLink.h"
#include "link/IdentityRecord.h"
#include "link/PortFinder.h"
#include "link/QtSerialTransport.h"
#include "link/ResultText.h"
#include "sim/VirtualController.h"
#include "sim/VirtualTransport.h"
#include "text/LanguageTable.h"
#include "text/TextPair.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace korvex {

namespace {

const char UsageLine[] =
    "usage: korvex-cli [--port DEVICE | --demo] [--lang ru|en] [--trace] [--help] [--version] "
    "COMMAND [ARGS]  (commands: ports, info, read-config FILE, "
    "write-config FILE, restart, defaults --yes, dump FILE, "
    "update-firmware FILE [--yes], lin read, lin write-params HEX, "
    "lin flash FILE [--yes], terminal [--seconds N], "
    "capture FILE [--count N] [--seconds S], snapshots [SERIAL])";

// The protocol version list has no caption on its page; the dump needs one.
constexpr TextPair ProtocolLabel{"Протокол LIN", "LIN protocol"};

int CommandPorts(Session& s, QTextStream& out) {
    const QStringList ports = s.finder->findPorts();
    for (const QString& p : ports)
        out << p << Qt::endl;
    return exitcode::Ok;
}

int CommandInfo(Session& s, QTextStream& out, QTextStream& err) {
    IdentityRecord id;
    const int rc = Connect(s, id);
    if (rc != result::Ok) {
        err << ResultText(rc, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    out << IdentityHeader(s.language.current) << Qt::endl;
    for (const QString& line : IdentityLines(id, s.language.current))
        out << line << Qt::endl;
    return exitcode::Ok;
}

int CommandReadConfig(Session& s, const QString& file, QTextStream& out, QTextStream& err) {
    IdentityRecord id;
    int rc = Connect(s, id);
    if (rc != result::Ok) {
        err << ResultText(rc, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    rc = s.transfer->ReadConfiguration();
    // A half-read configuration is never saved.
    if (rc != result::Ok)
        return s.fail(err, texts::ReadDeviceError, rc);
    const QString error = SaveConfigFile(file, s.image, s.host);
    if (!error.isEmpty()) {
        err << error << Qt::endl;
        return exitcode::Failure;
    }
    return s.done(out, LangFormat(ConfigSaved, s.language.current, file.toUtf8().constData()));
}

int CommandWriteConfig(Session& s, const QString& file, QTextStream& out, QTextStream& err) {
    // Nothing goes to the controller unless the file is really a configuration.
    if (!LoadConfigFile(file, s.image, s.host)) {
        err << FileMessage(texts::ReadFileError, s.language.current, file) << Qt::endl;
        return exitcode::Failure;
    }
    IdentityRecord id;
    int rc = Connect(s, id);
    if (rc != result::Ok) {
        err << ResultText(rc, s.language.current) << Qt::endl;
        return exitcode::Failure;
    }
    rc = s.transfer->WriteConfiguration();
    if (rc != result::Ok)
        return s.fail(err, texts::WriteDeviceError, rc);
    return s.done(out,
                  LangFormat(ConfigFromFileWritten, s.language.current, file.toUtf8().constData()));
}

int CommandRestart(Session& s, QTextStream& out, QTextStream& err) {
    IdentityRecord id;
    int rc = Connect(s, id);
    if (rc == result::Ok)
        rc = s.transfer->RestartDevice();
    return rc == result::Ok ? s.done(out, LangText(Restarted, s.language))
                            : s.fail(err, texts::RestartError, rc);
}

int CommandDefaults(Session& s, bool yes, QTextStream& out, QTextStream& err) {
    if (!yes) {
        err << LangText(texts::DefaultsQuestion, s.language) << Qt::endl
            << LangText(RefusedWithoutYes, s.language) << Qt::endl;
        return exitcode::Failure;
    }
    IdentityRecord id;
    int rc = Connect(s, id);
    if (rc == result::Ok)
        rc = s.transfer->ResetToDefaults();
    return rc == result::Ok ? s.done(out, LangText(DefaultsDone, s.language))
                            : s.fail(err, texts::DefaultsError, rc);
}

// A caption of the main window in the chosen language.
QString Caption(const char* control, int language) {
    const QString key = QStringLiteral("MainForm_%1_Caption").arg(QLatin1String(control));
    const LanguageRow* row = LookupLanguageKey(key, MainFormLanguageTable);
    return row != nullptr ? LanguageRowText(*row, language).trimmed() : QString();
}

QString Item(const char* control, int index, int language) {
    const QStringList items = LanguageTableItems(
        QStringLiteral("MainForm_%1_Caption").arg(QLatin1String(control)).toLatin1().constData(),
        language);
    return index < items.size() ? items.at(index) : QString::number(index);
}

QString Row(NameTable table, int row, int language) {
    const QString text = TableText(table, row, language);
    return text.isNull() ? QString::number(row) : text;
}

// A flag as its check box shows it; a value other than 0 or 1 shows as itself.
QString Flag(std::uint8_t value, const QString& caption) {
    const QString mark = value == 0   ? QStringLiteral("[ ]")
                         : value == 1 ? QStringLiteral("[x]")
                                      : QStringLiteral("[%1]").arg(value);
    return mark + QLatin1Char(' ') + caption;
}

// "3 (1, 2, 3)": the items of the number-of-sources list.
QString SourceCount(int code) {
    if (code > 7)
        return QString::number(code);
    QStringList numbers;
    for (int i = 1; i <= code + 1; ++i)
        numbers << QString::number(i);
    return QStringLiteral("%1 (%2)").arg(code + 1).arg(numbers.join(QStringLiteral(", ")));
}

QStringList DumpConfiguration(const ConfigImage& image, int lang) {
    const ConfigBytes& b = image.bytes;
    const auto labelled = [](const QString& label, const QString& value) {
        return QStringLiteral("  ") + label + QStringLiteral(": ") + value;
    };
    QStringList lines;

    lines << Caption("TabSheetPINS", lang);
    struct Pin {
        const char* label;
        int value;
        NameTable table;
    };
    const Pin pins[] = {
        {"X2/1", Get(b, param::X21), PowerPinLevels},
        {"X2/2", Get(b, param::X22), PowerPinLevels},
        {"X2/3", Get(b, param::X23), PowerPinLevels},
        {"X2/4", Get(b, param::X24), PowerPinLevels},
        {"(X1/5 -US) X2/5", Get(b, param::X25), OpenCollectorPinLevels},
        {"(X1/6 -US) X2/6", Get(b, param::X26), OpenCollectorPinLevels},
        {"X2/7", Get(b, param::X27), OpenCollectorPinLevels},
        {"X2/8", Get(b, param::X28), OpenCollectorPinLevels},
        {"PQ X2/1", Get(b, param::X29), OpenCollectorPinLevels},
        {"PQ X2/2", Get(b, param::X210), OpenCollectorPinLevels},
    };
    for (const Pin& pin : pins)
        lines << labelled(QLatin1String(pin.label), Row(pin.table, pin.value, lang));
    const int lin1mode = Get(b, param::LIN1MODE);
    lines << labelled(QStringLiteral("Lin Slave X1/4"), Row(LinSlaveTypes, lin1mode, lang));
    lines << labelled(QStringLiteral("Lin Master X1/3"),
                      Row(LinMasterTypes, Get(b, param::LIN2MODE), lang));

    lines << Caption("TabSheetLIN", lang);
    lines << labelled(Caption("PanelLINSPEED", lang),
                      Row(LinSpeeds, Get(b, param::LINSPEED), lang));
    const int protocol = Get(b, param::LINPROTOCOLVERSION);
    lines << labelled(LangText(ProtocolLabel, lang),
                      protocol <= 1 ? QStringLiteral("LIN %1.0").arg(protocol + 1)
                                    : QString::number(protocol));
    lines << labelled(Caption("PanelLINTYPE", lang),
                      Item("ComboBoxLINTYPE", Get(b, param::LINTYPE), lang));
    lines << QStringLiteral("  ") +
                 Flag(Get(b, param::SWAP_VOLDN_OK), Caption("CheckBoxLINSWAP_VOLDN_OK", lang));
    lines << labelled(Caption("PanelLIN_TEMP_RELAY_PIN", lang),
                      Row(HeaterPins, Get(b, param::TEMP_RELAY_PIN), lang));
    lines << QStringLiteral("  ") + Flag(Get(b, param::LIGHT_VAR_ENABLE),
                                         Caption("CheckBoxLIN_LIGHT_VAR_ENABLE", lang));
    lines << QStringLiteral("  ") +
                 Flag(Get(b, param::HEAT_VAR_ENABLE), Caption("CheckBoxLIN_HEAT_VAR_ENABLE", lang));
    lines << QStringLiteral("  %1 %2 %3")
                 .arg(Caption("Label_PAR_LongTO_Descripions", lang))
                 .arg(Get(b, param::PAR_LongTO))
                 .arg(Caption("Label_PAR_LongTO_MSEC", lang));
    lines << labelled(Caption("PanelLINTYPESLAVE", lang),
                      Row(SlaveEncodingsFor(lin1mode), Get(b, param::LINTYPESLAVE), lang));
    lines << QStringLiteral("  ") +
                 Flag(Get(b, param::LIGHT_DIAG_USE), Caption("CheckBoxLIGHT_DIAG_USE", lang));
    lines << labelled(Caption("Label_Light_Day", lang), QString::number(Get(b, param::Light_Day)));
    lines << labelled(Caption("Label_Light_Min", lang), QString::number(Get(b, param::Light_Min)));
    lines << labelled(Caption("Label_Light_Max2", lang), QString::number(Get(b, param::Light_Max)));

    lines << Caption("TabSheetPULSE", lang);
    lines << labelled(Caption("Panel4", lang), SourceCount(Get(b, param::PULSESRCNUM)));

    lines << Caption("TabSheetParamControl", lang);
    const auto volts = [lang](std::uint16_t code) {
        return CodeToVolts(code) + QLatin1Char(' ') + Caption("PanelParamControlVOUT1V", lang);
    };
    lines << labelled(Caption("PanelParamControlCH1", lang),
                      Caption("ParamControlVOUTxdefault", lang) + QLatin1Char(' ') +
                          volts(Get(b, param::VOUT1)) + QStringLiteral(", ") +
                          Caption("ParamControlVOUTxminmax_", lang) + QLatin1Char(' ') +
                          volts(Get(b, param::VOUT1minmax)));
    lines << labelled(Caption("PanelParamControlCH2", lang),
                      Caption("ParamControlVOUTxdefault", lang) + QLatin1Char(' ') +
                          volts(Get(b, param::VOUT2)) + QStringLiteral(", ") +
                          Caption("ParamControlVOUTxminmax_", lang) + QLatin1Char(' ') +
                          volts(Get(b, param::VOUT2minmax)));
    lines << labelled(Caption("Panel_KEY_REASSIGN_TO", lang),
                      QString::number(Get(b, param::KEY_REASSIGN_TO)) + QLatin1Char(' ') +
                          Caption("Panel_KEY_REASSIGN_TO_MS", lang));

    for (int n = 0; n < EntryCount; ++n) {
        if (IsEntryEmpty(b, n))
            continue;
        lines << EntryCaption(image, n);
        lines << labelled(Caption("GroupBoxEvent", lang), EventText(image, n, lang));
        lines << labelled(Caption("GroupBoxReaction", lang), ReactionText(image, n, lang));
    }
    return lines;
}

int CommandDump(Session& s, const QString& file, QTextStream& out, QTextStream& err) {
    if (!LoadConfigFile(file, s.image, s.host)) {
        err << FileMessage(texts::ReadFileError, s.language.current, file) << Qt::endl;
        return exitcode::Failure;
    }
    for (const QString& line : DumpConfiguration(s.image, s.language.current))
        out << line << Qt::endl;
    return exitcode::Ok;
}

int RunCommand(Session& s, const Options& o, const CliEnvironment& env, QTextStream& out,
               QTextStream& err) {
    const QString& c = o.command;
    const QString file = o.args.value(0);
    if (c == QLatin1String("ports"))
        return CommandPorts(s, out);
    if (c == QLatin1String("info"))
        return CommandInfo(s, out, err);
    if (c == QLatin1String("read-config"))
        return CommandReadConfig(s, file, out, err);
    if (c == QLatin1String("write-config"))
        return CommandWriteConfig(s, file, out, err);
    if (c == QLatin1String("restart"))
        return CommandRestart(s, out, err);
    if (c == QLatin1String("defaults"))
        return CommandDefaults(s, o.yes, out, err);
    if (c == QLatin1String("dump"))
        return CommandDump(s, file, out, err);
    if (c == QLatin1String("update-firmware"))
        return CommandUpdateFirmware(s, file, out, err);
    if (c == QLatin1String("terminal"))
        return CommandTerminal(s, o, env, out, err);
    if (c == QLatin1String("capture"))
        return CommandCapture(s, o, file, out, err);
    if (c == QLatin1String("snapshots"))
        return CommandSnapshots(o.args, s.language.current, out);
    return RunLinCommand(s, o.args, out, err);
}

// What is wrong with the command's words, empty when nothing is; the lin command checks its own.
QString CommandProblem(const Options& o) {
    static const QStringList withoutFile{"ports", "info", "restart", "defaults", "terminal"};
    static const QStringList withFile{"read-config", "write-config", "dump", "update-firmware",
                                      "capture"};
    const int lang = o.language;
    const QByteArray command = o.command.toUtf8();
    // The two options of the watching commands mean nothing to the others.
    const bool watching = o.command == QLatin1String("terminal");
    if (o.count >= 0 && o.command != QLatin1String("capture"))
        return LangFormat(UnknownOption, lang, "--count");
    if (o.seconds >= 0 && !watching && o.command != QLatin1String("capture"))
        return LangFormat(UnknownOption, lang, "--seconds");
    if (o.command == QLatin1String("snapshots"))
        return SnapshotsProblem(o.args, lang);
    qsizetype takes = 0;
    if (withFile.contains(o.command))
        takes = 1;
    else if (o.command == QLatin1String("lin"))
        return {};
    else if (!withoutFile.contains(o.command))
        return LangFormat(UnknownCommand, lang, command.constData());
    if (o.args.size() < takes)
        return LangFormat(MissingFile, lang, command.constData());
    if (o.args.size() > takes)
        return LangFormat(ExtraArgument, lang, o.args.at(takes).toUtf8().constData());
    return {};
}

} // namespace

int RunCli(const QStringList& arguments, QTextStream& out, QTextStream& err,
           sim::VirtualController* demo, const CliEnvironment& env) {
    Options o;
    QString problem = ParseOptions(arguments, o);
    if (problem.isEmpty() && o.help) {
        out << UsageLine << Qt::endl;
        return exitcode::Ok;
    }
    if (problem.isEmpty() && o.version) {
        out << "korvex-cli " KORVEX_VERSION_TEXT << Qt::endl;
        return exitcode::Ok;
    }
    if (problem.isEmpty())
        problem = CommandProblem(o);
    if (!problem.isEmpty())
        return UsageError(err, problem, UsageLine);
    Session s(o, out, err, demo, env);
    int rc = RunCommand(s, o, env, out, err);
    s.host.EndProgress();
    if (s.host.stopped()) {
        err << LangText(Interrupted, s.language) << Qt::endl;
        rc = exitcode::Failure;
    }
    return rc;
}

} // namespace korvex
