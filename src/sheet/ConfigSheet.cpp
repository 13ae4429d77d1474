// The printable sheet.
#include "ConfigSheet.h"

#include "config/ParameterWords.h"
#include "text/TextPair.h"

#include <QFileInfo>

namespace korvex {

namespace {
constexpr TextPair TitleText{"Конфигурация KORVEX-SWC-ADP", "KORVEX-SWC-ADP configuration"};
constexpr TextPair FileText{"Файл: %s", "File: %s"};
constexpr TextPair DateText{"Дата: %s", "Date: %s"};
constexpr TextPair ProgramText{"Программа: KORVEX Setup %s", "Program: KORVEX Setup %s"};
constexpr TextPair NoControllerText{"Контроллер не подключен", "No controller connected"};
constexpr TextPair EntriesText{"Используемые события и реакции: %d",
                               "Events and responses in use: %d"};

struct Title {
    QString heading;
    QStringList lines;
};

Title TitleBlock(const ConfigOverview& overview, const SheetSource& source, int language) {
    Title title{LangText(TitleText, language), overview.controller};
    if (title.lines.isEmpty())
        title.lines << LangText(NoControllerText, language);
    if (!source.fileName.isEmpty())
        title.lines << LangFormat(FileText, language,
                                  QFileInfo(source.fileName).fileName().toUtf8().constData());
    title.lines << LangFormat(
        DateText, language,
        source.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")).toUtf8().constData());
    title.lines << LangFormat(ProgramText, language, KORVEX_VERSION_TEXT);
    return title;
}

std::vector<const OverviewRow*> UsedRows(const ConfigOverview& overview) {
    std::vector<const OverviewRow*> used;
    for (const OverviewRow& row : overview.rows)
        if (!row.empty)
            used.push_back(&row);
    return used;
}
} // namespace

QString SheetText(const ConfigOverview& overview, const SheetSource& source, int language) {
    const Title title = TitleBlock(overview, source, language);
    QStringList lines{title.heading};
    lines << title.lines << QString() << overview.parameters << QString();
    const std::vector<const OverviewRow*> used = UsedRows(overview);
    lines << LangFormat(EntriesText, language, int(used.size()));
    const QString event = MainCaption("GroupBoxEvent", language);
    const QString reaction = MainCaption("GroupBoxReaction", language);
    for (const OverviewRow* row : used) {
        lines << row->caption;
        lines << QStringLiteral("  ") + event + QStringLiteral(": ") + row->event;
        lines << QStringLiteral("  ") + reaction + QStringLiteral(": ") + row->reaction;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

QString SheetHtml(const ConfigOverview& overview, const SheetSource& source, int language) {
    const Title title = TitleBlock(overview, source, language);
    const auto esc = [](const QString& text) { return text.toHtmlEscaped(); };
    QString html = QStringLiteral("<html><head><meta charset=\"utf-8\"><title>") +
                   esc(title.heading) + QStringLiteral("</title></head><body>");
    html += QStringLiteral("<h2>") + esc(title.heading) + QStringLiteral("</h2><p>");
    for (const QString& line : title.lines)
        html += esc(line) + QStringLiteral("<br>");
    html += QStringLiteral("</p>");
    for (const QString& line : overview.parameters)
        html += QStringLiteral("<p>") + esc(line) + QStringLiteral("</p>");
    const std::vector<const OverviewRow*> used = UsedRows(overview);
    html += QStringLiteral("<h3>") + esc(LangFormat(EntriesText, language, int(used.size()))) +
            QStringLiteral("</h3>");
    // One cell per entry: a printed line never mixes two entries' words.
    html +=
        QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"4\">");
    const QString event = esc(MainCaption("GroupBoxEvent", language));
    const QString reaction = esc(MainCaption("GroupBoxReaction", language));
    for (const OverviewRow* row : used)
        html += QStringLiteral("<tr><td><b>") + esc(row->caption) + QStringLiteral("</b><br>") +
                event + QStringLiteral(": ") + esc(row->event) + QStringLiteral("<br>") + reaction +
                QStringLiteral(": ") + esc(row->reaction) + QStringLiteral("</td></tr>");
    html += QStringLiteral("</table></body></html>");
    return html;
}

} // namespace korvex
