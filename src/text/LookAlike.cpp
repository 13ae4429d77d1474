// The Cyrillic letters that look like Latin ones in either case (В and B, though в and b do not):
// folded after lower-casing, so that a word matches in any case and any mix of the two scripts.
#include "LookAlike.h"

#include <iterator>

namespace korvex {

namespace {

constexpr char16_t Cyrillic[] = u"авекмнорстху";
constexpr char16_t Latin[] = u"abekmhopctxy";
static_assert(std::size(Cyrillic) == std::size(Latin));

} // namespace

QString FoldLookAlikes(const QString& word) {
    QString folded = word.toLower();
    for (QChar& c : folded) {
        for (std::size_t i = 0; i + 1 < std::size(Cyrillic); ++i) {
            if (c.unicode() == Cyrillic[i]) {
                c = QChar(Latin[i]);
                break;
            }
        }
    }
    return folded;
}

} // namespace korvex
