// The whole configuration at a glance, in the words of korvex-cli's dump: the parameter pages in
// a few lines, the controller when one is connected, and a row per entry. The overview page and
// the printable sheet show it.
#pragma once

#include "config/ConfigImage.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace korvex {

struct IdentityRecord;

struct OverviewRow {
    int entry = 0;    // 0..59
    QString caption;  // as its tab: "1* (SRC)"
    QString name;     // the tab's name, empty when it has none
    QString event;    // in words
    QString reaction; // in words
    bool empty = false;
};

struct ConfigOverview {
    QStringList parameters;        // a line per parameter page: "Pins: X2/1: No power; …"
    QStringList controller;        // name, serial number, versions; empty without a controller
    std::vector<OverviewRow> rows; // all 60 entries
};

// `identity` is null when no controller is connected.
ConfigOverview BuildOverview(const ConfigBytes& bytes, int language,
                             const IdentityRecord* identity);

// The captions of the columns: tab, name, event, reaction.
QStringList OverviewHeaders(int language);

} // namespace korvex
