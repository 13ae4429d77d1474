// The main window's language table and its look-up.
#include "LanguageTable.h"

#include "TextPair.h"

namespace korvex {

namespace {

// In the window's component order. Item lists fix the values the configuration stores (item
// index = value), so their order is binding.
constexpr LanguageRow MainFormRows[] = {
    {"MainForm_SpeedButtonUpdateDevice_Hint", "Обновление ПО устройства", "Firmware update"},
    {"MainForm_SpeedButtonReadConfig_Hint", "Открыть файл конфигурации устройства",
     "Open the device configuration file"},
    {"MainForm_SpeedButtonWriteConfig_Hint", "Сохранить файл конфигурации устройства",
     "Save device configuration file"},
    {"MainForm_SpeedButtonReadDevice_Hint", "Прочитать конфигурацию из устройства",
     "Read configuration from the device"},
    {"MainForm_SpeedButtonWriteDevice_Hint", "Записать конфигурацию в устройство",
     "Write configuration to the device"},
    {"MainForm_SpeedButtonToDefault_Hint",
     "Сбросить конфигурацию устройства в состояние по умолчанию",
     "Reset the device configuration to its default state"},
    {"MainForm_SpeedButtonReset_Hint", "Сброс устройства", "Reset device"},
    {"MainForm_PanelMenu_Hint", "Выберите параметры в меню, после нажатия правой кнопки мыши",
     "Select Options from the menu after clicking the right mouse button"},
    {"MainForm_TabSheetMonitoring_Caption", "Терминал", "Terminal"},
    {"MainForm_TabSheetParameters_Caption", "Параметры", "Parameters"},
    {"MainForm_TabSheetPINS_Caption", "Выводы", "Pins"},
    {"MainForm_TabSheetLIN_Caption", "Шина LIN", "LIN Bus"},
    {"MainForm_Label_PAR_LongTO_Descripions_Caption", "Длинное нажатие более чем",
     "Long press over"},
    {"MainForm_Label_PAR_LongTO_MSEC_Caption", "мСек", "mSec"},
    {"MainForm_Label_Light_Day_Caption", "Днем %", "Day %"},
    {"MainForm_Label_Light_Min_Caption", "Минимум %", "Minimum %"},
    {"MainForm_Label_Light_Max2_Caption", "Максимум %", "Maximum %"},
    {"MainForm_PanelLINSPEED_Caption", "Скорость шины", "LIN Bus speed"},
    {"MainForm_CheckBoxLINSWAP_VOLDN_OK_Caption", "Поменять VOLDN и OK (для VW)",
     "Swap VOLDN and OK (for VW)"},
    {"MainForm_ComboBoxLINTYPE_Caption",
     "Не используется\r\nРуль Skoda Kodiaq\r\nРуль Seat\r\nРуль Polo\r\nРуль G32\r\n",
     "Not used\r\nSW Skoda Kodiaq\r\nSW Seat\r\nSW Polo\r\nSW G32\r\n"},
    {"MainForm_PanelLINTYPE_Caption", "Тип мастера", "Master type"},
    {"MainForm_PanelLIN_TEMP_RELAY_PIN_Caption", "Управление подогревом", "Heater control"},
    {"MainForm_CheckBoxLIN_LIGHT_VAR_ENABLE_Caption", "Подсветка регулируемая",
     "Backlight adjustable"},
    {"MainForm_CheckBoxLIN_HEAT_VAR_ENABLE_Caption", "Подогрев регулируемый", "Heating adjustable"},
    {"MainForm_PanelLINTYPESLAVE_Caption", "Тип слэйва", "Slave type"},
    {"MainForm_CheckBoxLIGHT_DIAG_USE_Caption", "Подсветка по диагностике", "Diagnostic backlight"},
    {"MainForm_TabSheetPULSE_Caption", "Источники", "Sources"},
    // The one label of the sources page.
    {"MainForm_Panel4_Caption", "Число источников", "Number of sources"},
    {"MainForm_TabSheetParamControl_Caption", "Управление магнитолой", "Radio control"},
    {"MainForm_PanelParamControlCH1_Caption", "Канал 1", "Ch 1"},
    {"MainForm_PanelParamControlVOUT1V_Caption", "В", "V"},
    {"MainForm_PanelParamControlCH2_Caption", "Канал 2", "Ch 2"},
    {"MainForm_PanelParamControlVOUT2V_Caption", "В", "V"},
    {"MainForm_PanelParamControlVOUT1Vminmax__Caption", "В", "V"},
    {"MainForm_PanelParamControlVOUT2Vminmax__Caption", "В", "V"},
    {"MainForm_ParamControlVOUTxdefault_Caption", "Напряжение по умолчанию", "Default voltage"},
    {"MainForm_ParamControlVOUTxminmax__Caption", "Минимум/максимум", "Minumum/maximum"},
    {"MainForm_Panel_KEY_REASSIGN_TO_Caption",
     "Переопределение Мин. длит. для 'Управление магнитолой'",
     "Override Min. duration for 'Radio control'"},
    {"MainForm_Panel_KEY_REASSIGN_TO_MS_Caption", "мСек", "mSec"},
    {"MainForm_TabSheetLINProg_Caption", "LIN Программатор", "LIN Prog"},
    {"MainForm_SpeedButtonReadLIN_Hint", "Прочитать устройство", "Read device"},
    {"MainForm_SpeedButtonWriteLINParam_Hint", "Записать параметры", "Write parameters"},
    {"MainForm_SpeedButtonWriteLINFlashProg_Hint", "Прошить из файла", "Flash from file"},
    {"MainForm_ComboBoxLINDevType_Caption", "Левый фонарь\r\nПравый фонарь\r\n",
     "LEFT LAMP\r\nRIGHT LAMP\r\n"},
    {"MainForm_ComboBoxLINDevTType_Caption", "Бегущее выключение\r\nВыключение сразу\r\n",
     "Off Running\r\nOff Immediately\r\n"},
    {"MainForm_GroupBoxReaction_Caption", " Реакция ", " Response "},
    {"MainForm_TabSheetReactionZero_Caption", "Не задана", "Not set"},
    {"MainForm_CheckBoxReactionLINTrigger_Caption", "Триггер", "Trigger"},
    {"MainForm_TabSheetReactionOUT_Caption", "Вывод", "Pin"},
    // Output pin page: pin, duration and its unit, mode.
    {"MainForm_Panel3_Caption", "Ножка", "Pin"},
    {"MainForm_Panel12_Caption", "Мин. длит.", "Min. durat."},
    {"MainForm_PanelEventReactionPinTOMS_Caption", "мСек", "mSec"},
    {"MainForm_Panel19_Caption", "Режим", "Mode"},
    {"MainForm_ComboBoxEventReactionPinMODE_Caption",
     "Полное управление\r\nТриггерный\r\nОднократно -> сбросить\r\nОднократно -> установить\r\n",
     "Full control\r\nTrigger\r\nOnly once -> reset\r\nOnly once -> set\r\n"},
    {"MainForm_ComboBoxEventReactionPinMODE_Hint", "Режим выхода", "Output mode"},
    {"MainForm_TabSheetReactionAnalog_Caption", "Управление магнитолой", "Radio control"},
    // Radio-control page: each channel with its unit, then the duration with its unit.
    {"MainForm_Panel5_Caption", "Канал 1", "Ch 1"},
    {"MainForm_Panel6_Caption", "В", "V"},
    {"MainForm_Panel7_Caption", "Канал 2", "Ch 2"},
    {"MainForm_Panel8_Caption", "В", "V"},
    {"MainForm_Panel9_Caption", "Мин. длит./Повтор", "Min. durat./Replay"},
    {"MainForm_Panel10_Caption", "мСек", "mSec"},
    {"MainForm_ComboBoxReactionAnalogVOUT1type_Caption",
     "установить\r\nне трогать\r\nувеличить на\r\nуменьшить на\r\nзадать\r\nвосстановить\r\n",
     "set\r\nnot touch\r\nincrease on\r\ndecrease on\r\nequal\r\nrestore\r\n"},
    {"MainForm_ComboBoxReactionAnalogVOUT2type_Caption",
     "установить\r\nне трогать\r\nувеличить на\r\nуменьшить на\r\nзадать\r\nвосстановить\r\n",
     "set\r\nnot touch\r\nincrease on\r\ndecrease on\r\nequal\r\nrestore\r\n"},
    {"MainForm_CheckBoxReactionAnalogVOUT1save_Caption", "Сохранить перед сменой",
     "Save before changing"},
    {"MainForm_CheckBoxReactionAnalogVOUT2save_Caption", "Сохранить перед сменой",
     "Save before changing"},
    {"MainForm_TabSheetReactionSRC_Caption", "Источник", "Source"},
    {"MainForm_ComboBoxEventReactionSRC_Caption",
     "следующий\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\nпредыдущий\r\nвосстановить\r\n",
     "next\r\n1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\nprevious\r\nrestore\r\n"},
    {"MainForm_PanelEventReactionSRC_Caption", "Выбрать", "Select"},
    {"MainForm_CheckBoxEventReactionSRCSave_Caption", "Сохранить перед сменой",
     "Save before changing"},
    {"MainForm_TabSheetReactionEventColtrol_Caption", "Управление событиями", "Event manage"},
    {"MainForm_ComboBoxReactionEventHandleType_Caption", "Выдать\r\nЗапретить\r\nРазрешить\r\n",
     "Simulate\r\nDisable\r\nEnable\r\n"},
    {"MainForm_Panel18_Caption", "событие", "event"},
    {"MainForm_GroupBoxEvent_Caption", " Событие ", " Event "},
    {"MainForm_TabSheetEventZero_Caption", "Не задано", "Not set"},
    {"MainForm_TabSheetEventSRC_Caption", "Источник", "Source"},
    {"MainForm_TabSheetEventTimeout_Caption", "Таймаут", "Timeout"},
    // Timeout page: "after" before the time, its unit behind it.
    {"MainForm_PanelEventTimeout_Caption", "через", "after"},
    {"MainForm_PanelEventTimeoutFrom_Caption", "мСек", "mSec"},
    {"MainForm_TabSheetEventVoltage_Caption", "Напряжение", "Voltage"},
    // Voltage page: the time condition and its unit; the millivolt unit is set by code.
    {"MainForm_Panel17_Caption", "В течении более", "For more than"},
    {"MainForm_Panel16_Caption", "мСек", "mSec"},
    {"MainForm_PanelEventPress_Caption", "Нажатие", "Press"},
    {"MainForm_ComboBoxEventEvent_Caption", "Отключено\r\nКороткое\r\nДлиное\r\nЛюбое\r\n",
     "Disabled\r\nShort\r\nLong\r\nAny\r\n"},
    {"MainForm_CheckBoxEventOnce_Caption", "Однократно", "One time only"},
    {"MainForm_CheckBoxEventOnce_Hint", "Только однократная реакция", "Only a single response"},
    {"MainForm_PanelEventSRC_Caption", "Источник", "Source"},
    {"MainForm_ComboBoxEventSRCMASK_Caption", "Любой\r\nВыбрать...\r\n", "Any\r\nSelect...\r\n"},
    {"MainForm_MenuItemDebug_Caption", "Отладка", "Debug"},
    {"MainForm_MenuItemLog_Caption", "Лог обмена", "Communication log"},
    {"MainForm_MenuItemOnlyUsed_Caption", "Отображать только используемые события и реакции",
     "Display only used events and reactions"},
    {"MainForm_MenuItemWriteNow_Caption", "Применить параметры сразу",
     "Apply settings immediately"},
    {"", "", ""},
};

bool IsTerminator(const LanguageRow& row) {
    return row.key == nullptr || row.key[0] == '\0';
}

} // namespace

const std::span<const LanguageRow> MainFormLanguageTable{MainFormRows};

const LanguageRow* LookupLanguageKey(QStringView key, std::span<const LanguageRow> table) {
    const qsizetype cut = key.lastIndexOf(QLatin1Char('_'));
    if (cut > 0 && key.at(cut - 1) == QLatin1Char('x'))
        return nullptr;
    for (const LanguageRow& row : table) {
        if (IsTerminator(row))
            return nullptr;
        // Keys are plain ASCII.
        if (key == QLatin1String(row.key))
            return &row;
    }
    return nullptr;
}

QString LanguageRowText(const LanguageRow& row, int language) {
    return LangText(TextPair{row.ru, row.en}, language);
}

QStringList LanguageTextLines(const QString& text) {
    QStringList lines = text.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList LanguageTableItems(const char* key, int language) {
    const LanguageRow* row = LookupLanguageKey(QString::fromLatin1(key), MainFormLanguageTable);
    return row != nullptr ? LanguageTextLines(LanguageRowText(*row, language)) : QStringList{};
}

} // namespace korvex
