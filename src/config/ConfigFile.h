// Configuration files (*.KSWA): the whole image as hexadecimal blocks in an INI text.
#pragma once

#include "config/ConfigImage.h"
#include "text/TextPair.h"

#include <QString>
#include <QStringView>

#include <cstdint>

namespace korvex {

class UiHost;

// Writes 2 * count upper-case digits, high nibble first, and a terminating zero.
void HexEncode(const std::uint8_t* bytes, int count, char* text);
QString HexEncode(const std::uint8_t* bytes, int count);

// Reads two characters per byte into `destination` until `count` bytes are stored. Where the
// text ends (its end or a zero character) first, the rest of the `count` bytes become zero and
// the number decoded so far is returned. A character that is not a hexadecimal digit counts
// as 0.
int HexDecode(QStringView text, int count, std::uint8_t* destination);

struct ConfigSaveResult {
    QString error;              // "Unable to write to <file>" and why; empty on success
    bool replacedWhole = false; // the file held no INI text, so nothing of it was kept
    bool stopped = false;       // a stop came first: the file is as it was
    bool ok() const { return error.isEmpty(); }
};

// A file named *.txt is written and read as the configuration as text (config/ConfigText.h).
// Writes every block of the image into the file, keeping whatever else an INI text holds (in
// its encoding). A failure leaves the file as it was; a target that is not a regular file is
// never touched.
[[nodiscard]] ConfigSaveResult SaveConfigFile(const QString& fileName, const ConfigImage& image,
                                              UiHost& host, int language);

// Replaces the whole image with the file's contents: whatever is missing or unreadable within
// the file becomes zero. A file that cannot be read, is not a regular file, or whose PARAM and
// EVENTS sections hold no key of the configuration at all, is no configuration: false, and the
// image is left as it was. The shadow copy is never touched.
// `problem`, when given, gets the first wrong line of a text, in `language`.
[[nodiscard]] bool LoadConfigFile(const QString& fileName, ConfigImage& image, UiHost& host,
                                  QString* problem = nullptr, int language = LangEnglish);

// Why a file that was read whole is no configuration (a firmware file, a snippet, a text under
// another name, nothing of a configuration), in `language`; empty when it could not be read.
QString NoConfigurationReason(const QString& fileName, int language);

// True when the file holds every block of the configuration whole, as a save writes it: a
// file cut short or of other bytes that the load would still take in part is not.
bool IsWholeConfigFile(const QString& fileName);

// A file's bytes read as IsWholeConfigFile and LoadConfigFile read the file, for reading many
// files once each: true only when every block is there whole, `bytes` then holding them.
bool ReadWholeConfigBytes(QByteArrayView content, ConfigBytes& bytes);

} // namespace korvex
