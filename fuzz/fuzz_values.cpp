// What the user types: the LIN parameter bytes in hexadecimal, a number edit's text, a voltage.
// A LIN parameter text that parses must print and parse back to the same bytes.
#include "FuzzSupport.h"
#include "config/ConfigFile.h"
#include "config/ConfigImage.h"
#include "config/ValueEntry.h"
#include "lin/LinParams.h"

#include <cstdlib>
#include <cstring>

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    std::int32_t low = 0, high = 0;
    for (int i = 0; i < 4; ++i)
        low = (low << 8) | in.byte();
    for (int i = 0; i < 4; ++i)
        high = (high << 8) | in.byte();
    const int width = 1 << (in.byte() % 3); // 1, 2 or 4 bytes
    const QString text = QString::fromUtf8(in.rest());

    if (const auto params = ParseLinParams(text)) {
        const auto back = ParseLinParams(FormatLinParams(*params));
        if (!back || *back != *params)
            std::abort();
    }
    ConfigBytes bytes{};
    CheckNumberText(text, low, high);
    EditNumber(text, low, high, bytes, ConfigImageSize - width, width, 0);
    const std::uint16_t code = VoltsToCode(text);
    if (code <= VoltageCodeMax && VoltsToCode(CodeToVolts(code)) != code)
        std::abort(); // a voltage shown does not read back as itself
    std::uint8_t decoded[40];
    HexDecode(text, static_cast<int>(sizeof decoded), decoded);
    return 0;
}
