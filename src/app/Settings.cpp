// Reading and writing the settings file, opened afresh for every access.
#include "Settings.h"

#include "app/RecentFiles.h"
#include "config/IniFile.h"
#include "host/FileTexts.h"
#include "host/UiHost.h"
#include "text/TextPair.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace korvex {

namespace {

constexpr TextPair ReadError{"Ошибка чтения файла конфигурации программы",
                             "Error reading the configuration file of the program"};

constexpr QStringView MainSection = u"MainSettings";

struct RememberedKey {
    QStringView section;
    QStringView key;
};

RememberedKey KeyOf(RememberedFile which) {
    if (which == RememberedFile::Firmware)
        return {u"DirectoryProg", u"PROG"};
    return {u"DirectoryConfig", u"KORVEX-SWC-ADP"};
}

// Loads the file, or shows why it cannot be read.
bool OpenSettings(IniFile& file, UiHost& host, int language) {
    if (file.Load())
        return true;
    // Which file and why, on lines of their own: the user can mend a folder or a mode.
    host.ShowMessageBox(mb::IconError, LangText(ReadError, language) + u'\n' + file.Path() + u'\n' +
                                           FileProblemText(file.LastProblem(), language));
    return false;
}

// The settings directory may be a per-user one that does not exist yet.
bool WriteSettings(const IniFile& file, UiHost& host, int language) {
    const bool written = QDir().mkpath(QFileInfo(file.Path()).absolutePath()) && file.Save();
    if (!written)
        host.ShowMessageBox(mb::IconError,
                            UnableToWriteText(file.Path(), file.LastProblem(), language));
    return written;
}

} // namespace

QString ProgramDirectory(const QString& programPath) {
    return QFileInfo(programPath).absolutePath() + u'/';
}

bool IsDirectoryWritable(const QString& directory) {
    if (!QFileInfo(directory).isDir())
        return false;
    QTemporaryFile probe(QDir(directory).filePath(QStringLiteral("korvex-probe-XXXXXX")));
    return probe.open();
}

bool IsSystemProgramDirectory(const QString& directory) {
#ifdef Q_OS_UNIX
    // Root may write anywhere; an installed program still keeps its settings per user.
    const QString path = QDir::cleanPath(QFileInfo(directory).absoluteFilePath());
    static const QStringList system{QStringLiteral(KORVEX_INSTALL_BINDIR),
                                    QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin"),
                                    QStringLiteral("/bin")};
    for (const QString& place : system)
        if (path == QDir::cleanPath(place))
            return true;
#elif defined(Q_OS_WIN)
    // A program installed under Program Files keeps its settings per user too, even when its
    // folder is writable (an administrator, an older Windows, Wine): the uninstaller leaves the
    // user's settings alone, and it would not find them there.
    const QString path = QDir::cleanPath(QFileInfo(directory).absoluteFilePath()) + u'/';
    for (const char* variable : {"ProgramW6432", "ProgramFiles", "ProgramFiles(x86)"}) {
        const QString place = qEnvironmentVariable(variable);
        if (!place.isEmpty() &&
            path.startsWith(QDir::cleanPath(QDir::fromNativeSeparators(place)) + u'/',
                            Qt::CaseInsensitive))
            return true;
    }
#else
    Q_UNUSED(directory);
#endif
    return false;
}

QString SettingsFilePath(const QString& programPath, const QString& userConfigDirectory) {
    const QFileInfo program(programPath);
    const QString name = program.completeBaseName() + QStringLiteral(".ini");
    if (!IsSystemProgramDirectory(program.absolutePath()) &&
        IsDirectoryWritable(program.absolutePath()))
        return program.absoluteDir().filePath(name);
    return QDir(userConfigDirectory).filePath(name);
}

QString SettingsFilePath(const QString& programPath) {
    return SettingsFilePath(programPath,
                            QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

Settings DefaultSettings(QSize screen, QSize window, int systemLanguage) {
    Settings settings;
    settings.mainWidth = window.width();
    settings.mainHeight = window.height();
    settings.mainTop = screen.height() / 2 - window.height() / 2;
    settings.mainLeft = screen.width() / 2 - window.width() / 2;
    settings.lang = systemLanguage == LangEnglish ? LangEnglish : LangRussian;
    return settings;
}

int LimitTxHeight(int txHeight, TxHeightLimits limits) {
    return qMax(limits.lowest, qMin(txHeight, limits.highest));
}

std::optional<Settings> LoadSettings(const QString& path, QSize screen, QSize window,
                                     int systemLanguage, UiHost& host, int language,
                                     TxHeightLimits txLimits) {
    IniFile file(path);
    if (!OpenSettings(file, host, language))
        return std::nullopt;
    const Settings defaults = DefaultSettings(screen, window, systemLanguage);
    Settings settings = defaults;

    // The top edge never above the screen; either side may hang half off it.
    settings.mainTop = file.ReadInteger(MainSection, u"MainTop", defaults.mainTop);
    if (settings.mainTop < 0 || settings.mainTop > screen.height() - window.height() / 2)
        settings.mainTop = defaults.mainTop;
    settings.mainLeft = file.ReadInteger(MainSection, u"MainLeft", defaults.mainLeft);
    if (settings.mainLeft < -(window.width() / 2) ||
        settings.mainLeft > screen.width() - window.width() / 2)
        settings.mainLeft = defaults.mainLeft;

    // Never below the designed size, which is the window's minimum, nor beyond the screen.
    settings.mainWidth =
        qBound(window.width(), file.ReadInteger(MainSection, u"MainWidthx", window.width()),
               qMax(window.width(), screen.width()));
    settings.mainHeight =
        qBound(window.height(), file.ReadInteger(MainSection, u"MainHeightx", window.height()),
               qMax(window.height(), screen.height()));

    settings.maximized = file.ReadInteger(MainSection, u"MainMaximizedx", 0) == 1;

    // The window does arithmetic with the height, so no stored value may be extreme.
    settings.txHeight =
        LimitTxHeight(file.ReadInteger(MainSection, u"TXHeight", defaults.txHeight), txLimits);
    settings.log = file.ReadInteger(MainSection, u"Log", 0) != 0;
    settings.debug = file.ReadInteger(MainSection, u"Debug", 0) != 0;
    settings.onlyUsed = file.ReadInteger(MainSection, u"OnlyUsed", 0) != 0;
    settings.lang =
        file.ReadInteger(MainSection, u"Lang", defaults.lang) == 1 ? LangEnglish : LangRussian;

    const RememberedKey config = KeyOf(RememberedFile::Configuration);
    settings.configFile = file.ReadString(config.section, config.key, QString());
    const RememberedKey firmware = KeyOf(RememberedFile::Firmware);
    settings.firmwareFile = file.ReadString(firmware.section, firmware.key, QString());
    return settings;
}

bool SaveSettings(const QString& path, const Settings& settings, UiHost& host, int language) {
    IniFile file(path);
    if (!OpenSettings(file, host, language))
        return false;
    file.WriteInteger(MainSection, u"MainTop", settings.mainTop);
    file.WriteInteger(MainSection, u"MainLeft", settings.mainLeft);
    file.WriteInteger(MainSection, u"Lang", settings.lang == LangEnglish ? 1 : 0);
    file.WriteInteger(MainSection, u"Log", settings.log ? 1 : 0);
    file.WriteInteger(MainSection, u"Debug", settings.debug ? 1 : 0);
    file.WriteInteger(MainSection, u"OnlyUsed", settings.onlyUsed ? 1 : 0);
    file.WriteInteger(MainSection, u"TXHeight", settings.txHeight);
    if (settings.mainWidth > 0 && settings.mainHeight > 0) {
        file.WriteInteger(MainSection, u"MainWidthx", settings.mainWidth);
        file.WriteInteger(MainSection, u"MainHeightx", settings.mainHeight);
        file.WriteInteger(MainSection, u"MainMaximizedx", settings.maximized ? 1 : 0);
    }
    return WriteSettings(file, host, language);
}

std::optional<QString> ReadRememberedFile(const QString& path, RememberedFile which,
                                          const QString& defaultValue, UiHost& host, int language) {
    IniFile file(path);
    if (!OpenSettings(file, host, language))
        return std::nullopt;
    const RememberedKey at = KeyOf(which);
    return file.ReadString(at.section, at.key, defaultValue);
}

bool RememberFile(const QString& path, RememberedFile which, const QString& fileName, UiHost& host,
                  int language) {
    if (fileName.isEmpty())
        return true;
    const RememberedKey at = KeyOf(which);
    return ChangeSettings(
        path,
        [&](IniFile& file) {
            // One write for both, so that a file that cannot be written says so once.
            return file.WriteString(at.section, at.key, fileName) &&
                   (which != RememberedFile::Configuration ||
                    StoreRecentFiles(file, WithRecentFile(RecentFilesIn(file), fileName)));
        },
        host, language);
}

bool ChangeSettings(const QString& path, const std::function<bool(IniFile&)>& change, UiHost& host,
                    int language) {
    IniFile file(path);
    if (!OpenSettings(file, host, language))
        return false;
    // A value that would break the file (a name with a line break in it) is refused.
    if (!change(file)) {
        host.ShowMessageBox(mb::IconError, UnableToWriteText(path, {}, language));
        return false;
    }
    return WriteSettings(file, host, language);
}

} // namespace korvex
