// The parameter pages in words.
#include "ParameterWords.h"

#include "config/ValueEntry.h"
#include "config/Vocabulary.h"
#include "text/LanguageTable.h"
#include "text/TextPair.h"

namespace korvex {

namespace {

// The protocol version list has no caption on its page; the words need one.
constexpr TextPair ProtocolLabel{"Протокол LIN", "LIN protocol"};

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
QString FlagMark(std::uint8_t value) {
    return value == 0   ? QStringLiteral("[ ]")
           : value == 1 ? QStringLiteral("[x]")
                        : QStringLiteral("[%1]").arg(value);
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

// A code above the voltage range is shown as stored: the edit's limit to 5.00 V would hide what
// the controller really gets.
QString StoredVolts(std::uint16_t code) {
    return code <= VoltageCodeMax ? CodeToVolts(code)
                                  : QStringLiteral("0x") + QString::number(code, 16).toUpper();
}

} // namespace

QString MainCaption(const char* control, int language) {
    const QString key = QStringLiteral("MainForm_%1_Caption").arg(QLatin1String(control));
    const LanguageRow* row = LookupLanguageKey(key, MainFormLanguageTable);
    return row != nullptr ? LanguageRowText(*row, language).trimmed() : QString();
}

std::vector<ParameterWord> ParameterWords(const ConfigBytes& b, int lang) {
    using Style = ParameterWord::Style;
    std::vector<ParameterWord> words;
    words.reserve(40);
    QString page;
    const auto add = [&](QString label, QString value, std::uint32_t stored,
                         Style style = Style::Labelled, QString unit = {}, QString part = {}) {
        words.push_back({page, std::move(label), std::move(part), std::move(value), std::move(unit),
                         style, stored});
    };
    const auto flag = [&](const char* control, std::uint8_t value) {
        add(MainCaption(control, lang), FlagMark(value), value, Style::Flag);
    };

    page = MainCaption("TabSheetPINS", lang);
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
        add(QLatin1String(pin.label), Row(pin.table, pin.value, lang), std::uint32_t(pin.value));
    const int lin1mode = Get(b, param::LIN1MODE);
    add(QStringLiteral("Lin Slave X1/4"), Row(LinSlaveTypes, lin1mode, lang),
        std::uint32_t(lin1mode));
    const int lin2mode = Get(b, param::LIN2MODE);
    add(QStringLiteral("Lin Master X1/3"), Row(LinMasterTypes, lin2mode, lang),
        std::uint32_t(lin2mode));

    page = MainCaption("TabSheetLIN", lang);
    const int speed = Get(b, param::LINSPEED);
    add(MainCaption("PanelLINSPEED", lang), Row(LinSpeeds, speed, lang), std::uint32_t(speed));
    const int protocol = Get(b, param::LINPROTOCOLVERSION);
    add(LangText(ProtocolLabel, lang),
        protocol <= 1 ? QStringLiteral("LIN %1.0").arg(protocol + 1) : QString::number(protocol),
        std::uint32_t(protocol));
    const int type = Get(b, param::LINTYPE);
    add(MainCaption("PanelLINTYPE", lang), Item("ComboBoxLINTYPE", type, lang),
        std::uint32_t(type));
    flag("CheckBoxLINSWAP_VOLDN_OK", Get(b, param::SWAP_VOLDN_OK));
    const int heater = Get(b, param::TEMP_RELAY_PIN);
    add(MainCaption("PanelLIN_TEMP_RELAY_PIN", lang), Row(HeaterPins, heater, lang),
        std::uint32_t(heater));
    flag("CheckBoxLIN_LIGHT_VAR_ENABLE", Get(b, param::LIGHT_VAR_ENABLE));
    flag("CheckBoxLIN_HEAT_VAR_ENABLE", Get(b, param::HEAT_VAR_ENABLE));
    const std::uint16_t longPress = Get(b, param::PAR_LongTO);
    add(MainCaption("Label_PAR_LongTO_Descripions", lang), QString::number(longPress), longPress,
        Style::Sentence, MainCaption("Label_PAR_LongTO_MSEC", lang));
    const int slave = Get(b, param::LINTYPESLAVE);
    add(MainCaption("PanelLINTYPESLAVE", lang), Row(SlaveEncodingsFor(lin1mode), slave, lang),
        std::uint32_t(slave));
    flag("CheckBoxLIGHT_DIAG_USE", Get(b, param::LIGHT_DIAG_USE));
    const std::uint8_t day = Get(b, param::Light_Day);
    const std::uint8_t min = Get(b, param::Light_Min);
    const std::uint8_t max = Get(b, param::Light_Max);
    add(MainCaption("Label_Light_Day", lang), QString::number(day), day);
    add(MainCaption("Label_Light_Min", lang), QString::number(min), min);
    add(MainCaption("Label_Light_Max2", lang), QString::number(max), max);

    page = MainCaption("TabSheetPULSE", lang);
    const int sources = Get(b, param::PULSESRCNUM);
    add(MainCaption("Panel4", lang), SourceCount(sources), std::uint32_t(sources));

    page = MainCaption("TabSheetParamControl", lang);
    const QString volts = MainCaption("PanelParamControlVOUT1V", lang);
    const QString standard = MainCaption("ParamControlVOUTxdefault", lang);
    const QString range = MainCaption("ParamControlVOUTxminmax_", lang);
    const auto channel = [&](const char* caption, U16Field normal, U16Field other) {
        const QString label = MainCaption(caption, lang);
        const std::uint16_t a = Get(b, normal);
        const std::uint16_t z = Get(b, other);
        add(label, StoredVolts(a), a, Style::Part, volts, standard);
        add(label, StoredVolts(z), z, Style::Part, volts, range);
    };
    channel("PanelParamControlCH1", param::VOUT1, param::VOUT1minmax);
    channel("PanelParamControlCH2", param::VOUT2, param::VOUT2minmax);
    const std::uint16_t reassign = Get(b, param::KEY_REASSIGN_TO);
    add(MainCaption("Panel_KEY_REASSIGN_TO", lang), QString::number(reassign), reassign,
        Style::Labelled, MainCaption("Panel_KEY_REASSIGN_TO_MS", lang));
    return words;
}

QStringList ParameterDumpLines(const std::vector<ParameterWord>& words) {
    using Style = ParameterWord::Style;
    QStringList lines;
    const ParameterWord* previous = nullptr;
    for (const ParameterWord& w : words) {
        if (previous == nullptr || previous->page != w.page)
            lines << w.page;
        const QString unit = w.unit.isEmpty() ? QString() : QLatin1Char(' ') + w.unit;
        switch (w.style) {
        case Style::Labelled:
            lines << QStringLiteral("  ") + w.label + QStringLiteral(": ") + w.value + unit;
            break;
        case Style::Flag:
            lines << QStringLiteral("  ") + w.value + QLatin1Char(' ') + w.label;
            break;
        case Style::Sentence:
            lines << QStringLiteral("  ") + w.label + QLatin1Char(' ') + w.value + unit;
            break;
        case Style::Part: {
            const QString part = w.part + QLatin1Char(' ') + w.value + unit;
            if (previous != nullptr && previous->style == Style::Part && previous->label == w.label)
                lines.last() += QStringLiteral(", ") + part;
            else
                lines << QStringLiteral("  ") + w.label + QStringLiteral(": ") + part;
            break;
        }
        }
        previous = &w;
    }
    return lines;
}

} // namespace korvex
