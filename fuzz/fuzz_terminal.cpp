// The controller's terminal text: line assembly over reads split where the fuzzer says, the
// event-name rewrite, and Enter in the input memo. No byte may be lost: every byte is in a
// finished line, in the waiting one, or was a line end.
#include "FuzzSupport.h"
#include "link/Terminal.h"

#include <cstdlib>

using namespace korvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Input in(data, size);
    const int caret = in.byte() | (in.byte() << 8);
    const int split = in.byte() | (in.byte() << 8);
    const QByteArray bytes = in.rest();
    const auto* raw = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const int first = std::min(split, static_cast<int>(bytes.size()));

    // A line of the maximum length keeps the next bytes coming in every case.
    TerminalLine line;
    QList<QByteArray> lines = line.Feed(raw, first);
    lines += line.Feed(raw + first, static_cast<int>(bytes.size()) - first);
    qsizetype kept = line.pending().size();
    for (const QByteArray& l : lines) {
        if (l.size() > TerminalLine::MaxLength)
            std::abort();
        kept += l.size();
        TerminalLineText(l);
    }
    if (kept != bytes.size() - bytes.count('\r') - bytes.count('\n'))
        std::abort();

    const QString text = QString::fromUtf8(bytes);
    RewriteEventNames(text);
    const TerminalEnter enter = TerminalEnterKey(text, caret);
    if (enter.send && (enter.line.isEmpty() || !text.contains(enter.line)))
        std::abort();
    return 0;
}
