// Only-used view, kind menus and bulk deletions.
#include "KindMenus.h"

#include "config/EntryWords.h"
#include "text/TextPair.h"

#include <algorithm>

namespace korvex {

namespace {

constexpr TextPair ShowAllHint{"Отображать все события и реакции",
                               "Display all events and reactions"};
constexpr TextPair ShowUsedHint{"Отображать только используемые события и реакции",
                                "Display only used events and reactions"};
constexpr TextPair DeleteAllEvents{"Удалить все события", "Delete all events"};
constexpr TextPair DeleteAllResponse{"Удалить все реакции", "Delete all response"};
constexpr TextPair AskDeleteAllEvents{"Вы действительно хотите удалить\nвсе события и реакции?",
                                      "Are you sure you want to delete\nall events and response?"};
constexpr TextPair AskDeleteEvents{
    "Вы действительно хотите удалить\nвсе события \"%s\" и их реакции?",
    "Are you sure you want to delete\nall events \"%s\" and it's response?"};
constexpr TextPair AskDeleteAllResponse{"Вы действительно хотите\nудалить все реакции?",
                                        "Are you sure you want to\ndelete all response?"};
constexpr TextPair AskDeleteResponse{"Вы действительно хотите удалить\nвсе реакции \"%s\"?",
                                     "Are you sure you want to delete\nall response \"%s\"?"};

void Zero(ConfigBytes& bytes, int offset, int count) {
    std::fill_n(bytes.begin() + offset, count, std::uint8_t{0});
}

std::uint8_t KindOf(const ConfigBytes& bytes, int n, Field<std::uint8_t> field) {
    return Get(bytes, EntryField(n, field));
}

template <std::size_t N>
QList<KindMenuItem> KindMenu(const std::array<bool, N>& shown, NameTable names, int kindNow,
                             const TextPair& deleteAll, int language) {
    QList<KindMenuItem> items;
    for (int page = 0; page < int(N); ++page) {
        if (shown[std::size_t(page)])
            items.append({KindMenuItem::Page, page, TableText(names, page, language)});
    }
    items.append({KindMenuItem::Separator, 0, QStringLiteral("-")});
    const QString all = LangText(deleteAll, language);
    items.append({KindMenuItem::Delete, int(N), all});
    if (kindNow >= 1 && kindNow < int(N)) {
        items.append(
            {KindMenuItem::Delete, kindNow,
             all + QStringLiteral(" \"") + TableText(names, kindNow, language) + QLatin1Char('"')});
    }
    return items;
}

QString KindQuestion(const TextPair& all, const TextPair& one, NameTable names, int tag, int count,
                     int language) {
    if (tag == count)
        return LangText(all, language);
    return LangFormat(one, language, TableText(names, tag, language).toUtf8().constData());
}

} // namespace

ShownPages PagesToShow(const ConfigBytes& bytes, bool onlyUsed) {
    ShownPages shown;
    if (!onlyUsed) {
        shown.event.fill(true);
        shown.reaction.fill(true);
        return shown;
    }
    for (int n = 0; n < EntryCount; ++n) {
        const int event = KindOf(bytes, n, entry::eventKind);
        const int reaction = KindOf(bytes, n, entry::reactionKind);
        if (event < EventPageCount)
            shown.event[std::size_t(event)] = true;
        if (reaction < ReactionPageCount)
            shown.reaction[std::size_t(reaction)] = true;
    }
    return shown;
}

QString OnlyUsedHint(bool onlyUsed, int language) {
    return LangText(onlyUsed ? ShowAllHint : ShowUsedHint, language);
}

QList<KindMenuItem> EventKindMenu(const ConfigBytes& bytes, int n, const ShownPages& shown,
                                  int language) {
    return KindMenu(shown.event, EventKindNames, KindOf(bytes, n, entry::eventKind),
                    DeleteAllEvents, language);
}

QList<KindMenuItem> ReactionKindMenu(const ConfigBytes& bytes, int n, const ShownPages& shown,
                                     int language) {
    return KindMenu(shown.reaction, ReactionKindNames, KindOf(bytes, n, entry::reactionKind),
                    DeleteAllResponse, language);
}

QString DeleteEventsQuestion(int tag, int language) {
    return KindQuestion(AskDeleteAllEvents, AskDeleteEvents, EventKindNames, tag, EventPageCount,
                        language);
}

QString DeleteReactionsQuestion(int tag, int language) {
    return KindQuestion(AskDeleteAllResponse, AskDeleteResponse, ReactionKindNames, tag,
                        ReactionPageCount, language);
}

int DeleteEvents(ConfigBytes& bytes, int tag) {
    if (tag == EventPageCount) {
        Zero(bytes, 0, EntryCount * EntrySize);
        return 0;
    }
    int first = -1;
    for (int n = 0; n < EntryCount; ++n) {
        if (KindOf(bytes, n, entry::eventKind) != tag)
            continue;
        Zero(bytes, EntryOffset(n), EntrySize);
        if (first < 0)
            first = n;
    }
    return first;
}

void DeleteReactions(ConfigBytes& bytes, int tag) {
    for (int n = 0; n < EntryCount; ++n) {
        if (tag == ReactionPageCount || KindOf(bytes, n, entry::reactionKind) == tag)
            Zero(bytes, EntryOffset(n) + ReactionPartOffset, ReactionPartSize);
    }
}

} // namespace korvex
