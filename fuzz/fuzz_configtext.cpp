// The configuration as text on any bytes: any encoding, line ends, keys and values. A text that
// reads must change nothing else when refused, and what it reads as must write itself out and
// read back to the same bytes, in both languages, with and without every setting.
#include "FuzzSupport.h"
#include "config/ConfigText.h"

#include <cstdlib>

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input input(data, size);
    const int language = input.byte() & 1;
    const QByteArray bytes = input.rest();

    // Through the file, with its decoding, onto a configuration of odd bytes.
    ConfigBytes image{};
    for (int i = 0; i < ConfigImageSize; ++i)
        image[size_t(i)] = static_cast<std::uint8_t>(i * 7);
    const ConfigBytes before = image;
    QString message;
    const ConfigTextResult read =
        ReadConfigTextFile(fuzz::ScratchFile(bytes, ".txt"), image, language, &message);
    if (!read.ok && (image != before || message.isEmpty()))
        std::abort(); // a refused text changed something, or said nothing
    if (!read.ok)
        return 0;
    for (const bool all : {false, true}) {
        ConfigTextOptions options;
        options.language = language;
        options.all = all;
        ConfigBytes back{};
        if (!ApplyConfigText(WriteConfigText(image, options), back, 1 - language).ok ||
            back != image)
            std::abort(); // what was read does not survive writing
    }
    return 0;
}
