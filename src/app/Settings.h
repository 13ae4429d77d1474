// The program's own settings file: window position, terminal input height, the menu options,
// the language and the files last chosen in the file dialogs.
#pragma once

#include <QSize>
#include <QString>

#include <functional>
#include <optional>

namespace korvex {

class IniFile;
class UiHost;

struct Settings {
    int mainTop = 0;
    int mainLeft = 0;
    int txHeight = 64;
    bool log = false;
    bool debug = false;
    bool onlyUsed = false;
    int lang = 0; // 1 = English, 0 = Russian
    // The window's size; 0 leaves the keys out of the file.
    int mainWidth = 0;
    int mainHeight = 0;
    bool maximized = false; // written with the size
    // Full names of the files last chosen; only RememberFile writes them.
    QString configFile;
    QString firmwareFile;
};

// Which file dialog a remembered file belongs to.
enum class RememberedFile { Configuration, Firmware };

// The program's directory with a trailing separator.
QString ProgramDirectory(const QString& programPath);

// True when a file can be created in `directory` (tried, not guessed from permission bits,
// which do not tell the truth on every system).
bool IsDirectoryWritable(const QString& directory);

// True for the directories that installed programs live in (the install prefix's bin/, /usr/bin,
// /usr/local/bin; on Windows anywhere under Program Files), whoever may write there.
bool IsSystemProgramDirectory(const QString& directory);

// The settings file: the program's path with the extension ".ini"; where the program's
// directory is not writable or is a system one (an installed program), the same name in
// `userConfigDirectory`.
QString SettingsFilePath(const QString& programPath, const QString& userConfigDirectory);
// As above, with the per-user configuration directory of this application.
QString SettingsFilePath(const QString& programPath);

// What a missing file reads as: the window centred on the screen at its designed size, the memo
// 64 pixels high, every option off, the system's language.
Settings DefaultSettings(QSize screen, QSize window, int systemLanguage);

// The heights the terminal input can take: at least the memo's minimum, at most what the
// terminal page holds.
struct TxHeightLimits {
    int lowest = 1;
    int highest = 1;
};

// A TXHeight within the limits; on a page lower than the minimum, the minimum.
int LimitTxHeight(int txHeight, TxHeightLimits limits);

// Reads the settings with their defaults and limits; `window` is the designed size, which the
// position rules use and which the stored size may not go below (nor above `screen`). When the
// file exists but cannot be read, shows the error in `language` and returns nothing; the caller
// then keeps its own state.
std::optional<Settings> LoadSettings(const QString& path, QSize screen, QSize window,
                                     int systemLanguage, UiHost& host, int language,
                                     TxHeightLimits txLimits);

// Writes section MainSettings (not the remembered files); the size keys follow the others and
// only when a size is given. Shows any failure and returns false.
bool SaveSettings(const QString& path, const Settings& settings, UiHost& host, int language);

// The remembered file of a dialog, or `defaultValue` where none is stored; nothing (after the
// error was shown) when the file cannot be read.
std::optional<QString> ReadRememberedFile(const QString& path, RememberedFile which,
                                          const QString& defaultValue, UiHost& host, int language);
// Stores a dialog's chosen file; a configuration file also goes first in the recent files. An
// empty name is ignored. Shows any failure, returns false.
bool RememberFile(const QString& path, RememberedFile which, const QString& fileName, UiHost& host,
                  int language);

// Opens the settings file, lets `change` write into it and saves it as every settings write does:
// everything else in the file is kept, a failure is shown and nothing is written (false).
// `change` returns false for a value that cannot be stored.
bool ChangeSettings(const QString& path, const std::function<bool(IniFile&)>& change, UiHost& host,
                    int language);

} // namespace korvex
