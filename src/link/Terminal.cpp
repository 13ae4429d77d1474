// The terminal.
#include "Terminal.h"

#include "config/ConfigTransfer.h"
#include "config/Vocabulary.h"
#include "host/RequireController.h"
#include "host/UiHost.h"
#include "link/DeviceAccess.h"
#include "link/LinkState.h"
#include "link/ResultText.h"
#include "text/Cp1251.h"
#include "text/TextPair.h"

#include <algorithm>

namespace korvex {

namespace {

constexpr int MaxEnteredLine = 999; // a longer line is not sent at all
constexpr TextPair LineCutText{"Строка отправлена обрезанной до первых %d символов",
                               "The line is sent cut to its first %d characters"};
constexpr int MaxEventDigits = 10;

bool IsLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}

// The typed text in the controller's code page; a character outside it goes as '?'.
QByteArray TypedBytes(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<QByteArray> one = EncodeCp1251(text.mid(i, 1));
        bytes += one ? *one : QByteArray("?");
    }
    return bytes;
}

} // namespace

QList<QByteArray> TerminalLine::Feed(const std::uint8_t* bytes, int count) {
    QList<QByteArray> finished;
    const auto complete = [&] {
        finished.append(line_);
        line_.clear();
    };
    for (int i = 0; i < count; ++i) {
        const char b = static_cast<char>(bytes[i]);
        if (b == '\n') {
            complete();
            continue;
        }
        if (line_.size() >= MaxLength)
            complete(); // the byte goes on as the first of the next line
        if (b == ',' && line_.size() >= CommaBreakLength) {
            line_.append(b);
            complete();
            continue;
        }
        if (b != '\r')
            line_.append(b);
    }
    return finished;
}

QString RewriteEventNames(const QString& line) {
    const qsizetype lin = line.indexOf(QLatin1String(" LIN "));
    if (lin < 0)
        return line;
    // The blank after LIN may be the one that starts " EV:".
    const qsizetype ev = line.indexOf(QLatin1String(" EV:"), lin + 4);
    if (ev < 0)
        return line;
    const qsizetype start = ev + 4;
    qsizetype end = start;
    while (end < line.size() && end - start < MaxEventDigits && line.at(end) >= u'0' &&
           line.at(end) <= u'9')
        ++end;
    if (end == start)
        return line;
    const qulonglong code = line.mid(start, end - start).toULongLong();
    const std::optional<QString> name =
        code <= 75 ? LinKeyName(static_cast<int>(code)) : std::nullopt;
    if (!name)
        return line;
    return line.left(start) + *name + line.mid(end);
}

QString TerminalLineText(const QByteArray& line) {
    QString text = DecodeCp1251(line);
    text.remove(QChar(0)); // a zero would have ended the line on the controller's side
    return RewriteEventNames(text);
}

TerminalEnter TerminalEnterKey(const QString& text, int caret) {
    TerminalEnter enter;
    caret = std::clamp(caret, 0, static_cast<int>(text.size()));
    if (caret == 0 && text.isEmpty())
        return enter;
    bool atEnd = caret == text.size();
    const qsizetype start = caret > 0 ? text.lastIndexOf(u'\n', caret - 1) + 1 : 0;
    qsizetype end = caret;
    while (end < text.size() && !IsLineEnd(text.at(end)))
        ++end;
    const QString line = text.mid(start, end - start);
    if (line.size() < MaxEnteredLine) {
        if (line.isEmpty()) {
            atEnd = false;
        } else {
            enter.send = true;
            enter.line = line;
        }
    }
    enter.letThrough = atEnd;
    return enter;
}

int Terminal::ReadTerminalText() {
    int total = 0;
    for (;;) {
        host_.ProcessEvents();
        if (total > ReadBudget)
            break;
        std::uint8_t buffer[ReadBuffer];
        int count = 0;
        const int rc = device_.DeviceRead(area::Terminal, 0, buffer, ReadBuffer, &count);
        if (rc != result::Ok)
            return rc;
        count = std::clamp(count, 0, ReadBuffer);
        total += count;
        if (state_.appClosing)
            break;
        for (const QByteArray& line : line_.Feed(buffer, count))
            host_.LogLineColored(LogColour::ControllerBlue, TerminalLineText(line));
        if (count < 1)
            break;
    }
    return result::Ok;
}

bool Terminal::SendTerminalLine(const QString& text) {
    if (RequireController(monitor_, host_, language_))
        return false;
    QByteArray bytes = TypedBytes(QStringView(text).left(MaxSentLength));
    bytes.append('\0');
    const int rc = transfer_.WriteBlock(area::Terminal, 0,
                                        reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                        static_cast<int>(bytes.size()));
    if (rc == result::Ok && text.size() > MaxSentLength)
        host_.LogLine(LangFormat(LineCutText, language_.current, MaxSentLength));
    if (pollSoon)
        pollSoon();
    return rc == result::Ok;
}

} // namespace korvex
