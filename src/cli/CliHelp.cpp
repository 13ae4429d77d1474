// The help of korvex-cli.
#include "CliHelp.h"

#include "text/TextPair.h"

namespace korvex {

namespace {

constexpr TextPair Usage{"использование:", "usage:"};
constexpr TextPair SeeHelp{"(параметры и команды: korvex-cli --help)",
                           "(options and commands: korvex-cli --help)"};
constexpr TextPair OptionsHeading{"Параметры:", "Options:"};
constexpr TextPair CommandsHeading{"Команды:", "Commands:"};
constexpr char Synopsis[] = "korvex-cli [--port DEVICE | --demo] [--lang ru|en] [--trace] [--yes] "
                            "[--no-snapshot] COMMAND [ARGS]";

struct Row {
    const char* syntax;
    TextPair meaning;
};

constexpr Row Options[] = {
    {"--port DEVICE",
     {"только это устройство (/dev/ttyUSB0, COM7), без поиска",
      "use exactly this device (/dev/ttyUSB0, COM7) instead of searching"}},
    {"--demo", {"виртуальный контроллер", "use the virtual controller"}},
    {"--lang ru|en", {"язык всех текстов", "the language of every text"}},
    {"--trace",
     {"каждый кадр обмена в стандартный поток ошибок",
      "write every frame exchanged to standard error"}},
    {"--yes",
     {"ответ \"Да\" на вопросы (та же или старая версия ПО, сброс)",
      "answer Yes to the questions (same or older firmware, defaults)"}},
    {"--no-snapshot",
     {"без снимка конфигурации перед write-config, defaults, update-firmware, apply",
      "no snapshot before write-config, defaults, update-firmware, apply"}},
    {"--all",
     {"text: все настройки, а не только отличия", "text: every setting, not only the differences"}},
    {"--help, --version", {"эта справка или версия", "this help, or the version"}},
};

constexpr Row Commands[] = {
    {"ports",
     {"порты-кандидаты (преобразователи 1A86:7523)", "the candidate ports (converters 1A86:7523)"}},
    {"info", {"найти контроллер и показать его данные", "find the controller, print its identity"}},
    {"read-config FILE",
     {"прочитать конфигурацию и сохранить в файл *.KSWA (или *.txt)",
      "read the configuration and save it as a *.KSWA (or *.txt) file"}},
    {"write-config FILE",
     {"записать файл *.KSWA в контроллер (затем он перезапускается)",
      "write a *.KSWA file to the controller, which then restarts"}},
    {"restart", {"перезапустить контроллер", "restart the controller"}},
    {"defaults --yes",
     {"сбросить конфигурацию в состояние по умолчанию",
      "reset the configuration to its factory defaults"}},
    {"dump FILE", {"показать файл *.KSWA словами", "print a *.KSWA file in words"}},
    {"diff A B",
     {"сравнить две конфигурации: FILE или device", "compare two configurations: FILE or device"}},
    {"sheet SOURCE OUT",
     {"лист конфигурации FILE или device в OUT: .pdf, .html или .txt",
      "the configuration sheet of a FILE or device as OUT: .pdf, .html or .txt"}},
    {"update-firmware FILE [--yes]",
     {"обновить ПО контроллера из файла *.LDR",
      "replace the controller's firmware from a *.LDR file"}},
    {"lin read", {"прочитать устройство LIN", "read the LIN device"}},
    {"lin write-params HEX",
     {"записать 6 байт параметров устройства LIN", "write the LIN device's 6 parameter bytes"}},
    {"lin flash FILE [--yes]",
     {"прошить устройство LIN из файла *.LDR", "reprogram the LIN device from its *.LDR file"}},
    {"terminal [--seconds N]",
     {"терминал: текст контроллера и нажатия кнопок",
      "the terminal: the controller's text and key presses"}},
    {"capture FILE [--count N] [--seconds S]",
     {"записывать нажатые кнопки в свободные вкладки файла",
      "store each key pressed into the next free entry of FILE"}},
    {"doctor",
     {"проверить преобразователь, драйвер и доступ к порту",
      "check the converter, its driver and the access to its port"}},
    {"text SOURCE [OUT] [--all]",
     {"конфигурация FILE или device текстом (*.txt), в OUT или на экран",
      "the configuration of a FILE or device as text (*.txt), to OUT or standard output"}},
    {"apply SNIPPET TARGET",
     {"применить текст к FILE или device (отправляются только изменения)",
      "apply a text to a FILE or device (only the changes are sent)"}},
    {"snapshots [SERIAL]",
     {"снимки конфигураций контроллеров", "list the controllers' configuration snapshots"}},
    {"library [DIR] [SEARCH]",
     {"файлы конфигурации в DIR и его папках: дата и кратко",
      "the configuration files under DIR: date and summary"}},
    {"history [SERIAL]",
     {"снимки контроллера, новые первыми, и сколько в них отличий",
      "a controller's snapshots, newest first, and how many settings differ"}},
};

// The syntax column; a longer syntax has its meaning on the next line.
constexpr int SyntaxWidth = 28;

template <std::size_t N> void AddRows(QString& text, const Row (&rows)[N], int language) {
    for (const Row& row : rows) {
        const QLatin1String syntax(row.syntax);
        text += QStringLiteral("  ") + syntax;
        if (syntax.size() > SyntaxWidth)
            text += u'\n' + QString(SyntaxWidth + 2, u' ');
        else
            text += QString(SyntaxWidth - syntax.size(), u' ');
        text += QStringLiteral("  ") + LangText(row.meaning, language) + u'\n';
    }
}

} // namespace

QString UsageLine(int language) {
    return LangText(Usage, language) + u' ' + QLatin1String(Synopsis) + u' ' +
           LangText(SeeHelp, language);
}

QString LinUsageLine(int language) {
    return LangText(Usage, language) +
           QStringLiteral(" korvex-cli [--port DEVICE | --demo] [--lang ru|en] lin read | lin "
                          "write-params HEX | lin flash FILE [--yes]");
}

QString HelpText(int language) {
    const QString usage = LangText(Usage, language);
    QString text = usage + u' ' + QLatin1String(Synopsis) + u'\n' + QString(usage.size(), u' ') +
                   QStringLiteral(" korvex-cli --help | --version\n");
    text += u'\n' + LangText(OptionsHeading, language) + u'\n';
    AddRows(text, Options, language);
    text += u'\n' + LangText(CommandsHeading, language) + u'\n';
    AddRows(text, Commands, language);
    return text;
}

} // namespace korvex
