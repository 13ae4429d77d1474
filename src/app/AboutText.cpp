// The About text.
#include "AboutText.h"

#include "config/Snapshots.h"

#include <QDir>
#include <QtGlobal>

namespace korvex {

namespace {

constexpr TextPair AboutFormat{
    "KORVEX Setup %s\n"
    "Программа настройки контроллера KORVEX-SWC-ADP\n"
    "\n"
    "Qt %s (собрана с Qt %s)\n"
    "Файл настроек: %s\n"
    "Снимки конфигураций контроллеров: %s\n"
    "\n"
    "Те же операции из терминала, для сценариев и резервных копий: korvex-cli "
    "(korvex-cli --help)",
    "KORVEX Setup %s\n"
    "Setup program for the KORVEX-SWC-ADP controller\n"
    "\n"
    "Qt %s (built with Qt %s)\n"
    "Settings file: %s\n"
    "Snapshots of controllers' configurations: %s\n"
    "\n"
    "The same operations from a terminal, for scripts and backups: korvex-cli "
    "(korvex-cli --help)"};

} // namespace

QString AboutText(const QString& settingsPath, int language) {
    const QByteArray settings = QDir::toNativeSeparators(settingsPath).toUtf8();
    const QByteArray snapshots =
        QDir::toNativeSeparators(QDir(DefaultSnapshotRoot()).filePath(QStringLiteral("snapshots")))
            .toUtf8();
    return LangFormat(AboutFormat, language, KORVEX_VERSION_TEXT, qVersion(), QT_VERSION_STR,
                      settings.constData(), snapshots.constData());
}

} // namespace korvex
