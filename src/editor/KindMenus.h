// The editor's choices that span all 60 entries, without a window: which event and reaction
// pages the only-used view shows, the right-click menus of the two page controls, and the bulk
// deletions they offer with their questions.
#pragma once

#include "config/ConfigImage.h"

#include <QList>
#include <QString>

#include <array>

namespace korvex {

constexpr int EventPageCount = 5;    // kinds 0..4
constexpr int ReactionPageCount = 6; // kinds 0..5

struct ShownPages {
    std::array<bool, EventPageCount> event{};
    std::array<bool, ReactionPageCount> reaction{};
};

// All pages, or with the only-used view only the pages of kinds that some entry uses (a kind
// beyond the pages shows none).
ShownPages PagesToShow(const ConfigBytes& bytes, bool onlyUsed);

// The hint of the toolbar button: what a click would do.
QString OnlyUsedHint(bool onlyUsed, int language);

struct KindMenuItem {
    enum Role { Page, Separator, Delete };
    Role role = Page;
    int tag = 0; // page index; for Delete the kind, or the page count for all of them
    QString caption;
    friend bool operator==(const KindMenuItem&, const KindMenuItem&) = default;
};

// The menus of PageControlEvent and PageControlReaction: the shown pages, a separator, delete
// all, and delete the kind of entry n when it has one.
QList<KindMenuItem> EventKindMenu(const ConfigBytes& bytes, int n, const ShownPages& shown,
                                  int language);
QList<KindMenuItem> ReactionKindMenu(const ConfigBytes& bytes, int n, const ShownPages& shown,
                                     int language);

// The question asked before a deletion with the given tag.
QString DeleteEventsQuestion(int tag, int language);
QString DeleteReactionsQuestion(int tag, int language);

// Deleting events removes whole entries (names too): all of them for the tag EventPageCount,
// else those of kind tag. Returns the entry whose tab to select, or -1 to keep the selection.
int DeleteEvents(ConfigBytes& bytes, int tag);
// Deleting reactions clears only the reaction parts; names and events stay.
void DeleteReactions(ConfigBytes& bytes, int tag);

} // namespace korvex
