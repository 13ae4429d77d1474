// The system's facts about the converter in words: why a port could not be opened, and the
// checks of `korvex-cli doctor`, each with the fix when it fails.
#pragma once

#include "host/SystemFacts.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace korvex {

// The udev rule that the program installs.
inline constexpr char UdevRuleName[] = "70-korvex-setup.rules";

// One paragraph that says why and what to do; empty for PortProblem::None.
QString PortProblemText(const PortDiagnosis& diagnosis, int language);
// Why, in a few words, for the status line; empty for PortProblem::None.
QString PortProblemShortText(const PortDiagnosis& diagnosis, int language);
// Where to look when no controller was found.
QString DoctorHintText(int language);

struct DoctorLine {
    bool ok = false;
    QString text;
};

struct DoctorReport {
    QList<DoctorLine> lines;
    bool usable = false; // a converter's port exists, is free and may be opened by the user
};

// `candidatePorts` are the converter ports the serial-port list gives (all a system without
// sysfs can tell).
DoctorReport RunPortDoctor(const SystemFacts& facts, const QStringList& candidatePorts,
                           int language);
// "OK  ..." or "!!  ..."
QString DoctorLineText(const DoctorLine& line);

} // namespace korvex
