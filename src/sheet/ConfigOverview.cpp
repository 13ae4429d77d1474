// The configuration at a glance.
#include "ConfigOverview.h"

#include "config/EntryWords.h"
#include "config/ParameterWords.h"
#include "link/IdentityRecord.h"
#include "text/Cp1251.h"
#include "text/TextPair.h"

namespace korvex {

namespace {
constexpr TextPair TabHeader{"Вкладка", "Tab"};
constexpr TextPair NameHeader{"Имя", "Name"};

// The dump's page caption and its indented values, as one line per page.
QStringList PageLines(const QStringList& dumpLines) {
    QStringList pages;
    for (const QString& line : dumpLines) {
        if (!line.startsWith(QLatin1Char(' ')))
            pages << line + QLatin1Char(':');
        else if (!pages.isEmpty())
            pages.last() += (pages.last().endsWith(QLatin1Char(':')) ? QStringLiteral(" ")
                                                                     : QStringLiteral("; ")) +
                            line.trimmed();
    }
    return pages;
}
} // namespace

ConfigOverview BuildOverview(const ConfigBytes& bytes, int language,
                             const IdentityRecord* identity) {
    ConfigOverview overview;
    overview.parameters = PageLines(ParameterDumpLines(ParameterWords(bytes, language)));
    if (identity != nullptr)
        for (const QString& line : IdentityLines(*identity, language))
            overview.controller << line.simplified();
    ConfigImage image;
    image.bytes = bytes;
    overview.rows.reserve(EntryCount);
    for (int n = 0; n < EntryCount; ++n) {
        OverviewRow row;
        row.entry = n;
        row.caption = EntryCaption(image, n);
        row.empty = IsEntryEmpty(bytes, n);
        if (!row.empty) {
            row.name = DecodeCp1251(EntryRef(image.bytes, n).name());
            row.event = EventText(image, n, language);
            row.reaction = ReactionText(image, n, language);
        }
        overview.rows.push_back(std::move(row));
    }
    return overview;
}

QStringList OverviewHeaders(int language) {
    return {LangText(TabHeader, language), LangText(NameHeader, language),
            MainCaption("GroupBoxEvent", language), MainCaption("GroupBoxReaction", language)};
}

} // namespace korvex
