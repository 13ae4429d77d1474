// The configuration as text (*.txt): one "KEY = value" line per setting, the values in the
// words of the dump, the keys the same in every language, so that a text reads back byte for
// byte whatever the language it was written or is read in. A text that holds the whole
// configuration describes it from the factory defaults; a snippet changes only what it names.
#pragma once

#include "config/ConfigFile.h"
#include "config/ConfigImage.h"
#include "host/FileAccess.h"
#include "text/TextPair.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

namespace korvex {

struct IdentityRecord;

// The first line of a text: the whole configuration, or a snippet to apply on top of one.
inline constexpr char WholeTextSignature[] = "# KORVEX-SWC-ADP configuration";
inline constexpr char SnippetTextSignature[] = "# KORVEX-SWC-ADP snippet";

// The configuration a whole text starts from: the one "Reset to defaults" restores.
ConfigBytes FactoryBytes();

struct ConfigTextOptions {
    int language = LangEnglish;
    bool all = false;                           // every setting, not only what differs
    const IdentityRecord* controller = nullptr; // named in the header when the bytes came from one
    QDateTime written;                          // null: now
    StopPoll stop;                              // asked before the file is replaced
};

// The whole text of the bytes; reading it back gives exactly these bytes.
QString WriteConfigText(const ConfigBytes& bytes, const ConfigTextOptions& options);

// The first line that could not be read, and what was expected there, in the chosen language.
struct ConfigTextError {
    int line = 0; // from 1
    QString text;
    QString expected;
};

struct ConfigTextResult {
    bool ok = false;
    bool whole = false;    // the text holds the whole configuration
    bool noHeader = false; // no configuration text at all
    bool stopped = false;  // a stop was asked for while it was read: nothing changed
    ConfigTextError error;
};

// Applies the text to `bytes`: a whole text replaces them, a snippet changes what it names.
// Nothing changes unless every line is right, nor after `stop` said so.
ConfigTextResult ApplyConfigText(QStringView text, ConfigBytes& bytes, int language,
                                 const StopPoll& stop = {});

// The text of a file's bytes (UTF-8, or UTF-16 or UTF-8 with a byte-order mark). False, with the
// error of the line where it is, when the bytes are no such text.
bool DecodeConfigText(const QByteArray& data, QString& text, ConfigTextError& error, int language);

// "keys.txt, line 4: "X21 = Up": expected …".
QString ConfigTextMessage(const QString& fileName, const ConfigTextError& error, int language);

// A configuration file whose name ends in ".txt" is a text.
bool IsConfigTextName(const QString& fileName);

// Reads a text file (UTF-8, or UTF-16 or UTF-8 with a byte-order mark; any line ends) and applies
// it to `bytes`. `message` gets why it was refused, in the chosen language, when it was.
ConfigTextResult ReadConfigTextFile(const QString& fileName, ConfigBytes& bytes, int language,
                                    QString* message = nullptr, const StopPoll& stop = {});
// The same for bytes already read (standard input); `shownName` names them in the message.
ConfigTextResult ReadConfigTextData(const QByteArray& data, const QString& shownName,
                                    ConfigBytes& bytes, int language, QString* message = nullptr,
                                    const StopPoll& stop = {});

// The first line that is no comment: the signature of a text, whatever its line ends.
enum class TextKind { None, Whole, Snippet };
TextKind ConfigTextKind(QStringView text);

// The target snippet with the source snippet applied to it, so that the result, applied to any
// configuration, does what the two did one after the other: a setting the target already names
// is changed in its own line, an entry it names by number is replaced where it stands, the rest
// is added at the end; its comments, order and line ends stay. Both texts must be snippets that
// read without error.
QString ApplySnippetToSnippet(const QString& target, const QString& source, int language);

// The text of a snippet that refuses it where a whole configuration is meant.
QString SnippetRefusalText(int language);

// Writes the text as UTF-8, replacing the file only once the whole text is on disk.
[[nodiscard]] ConfigSaveResult SaveConfigText(const QString& fileName, const ConfigBytes& bytes,
                                              const ConfigTextOptions& options);

} // namespace korvex
