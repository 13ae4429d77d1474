#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix whose user folder is named in Cyrillic:
# installs silently into Program Files (with the desktop shortcut asked for), checks what
# Windows is told (Programs and Features, the Start menu, .KSWA), runs korvex-cli.exe and
# korvex-setup.exe from there (the windows platform on a virtual display, closed by the window
# system), works with files named in Cyrillic in the user's documents, shows Qt's own texts in
# Russian from the installed catalogues, then uninstalls silently. Program Files must be left
# empty, the registry without the program's keys, the user's settings and snapshots in place.
#   bash tools/windows-install-check.sh build-win/korvex-setup-VERSION-win64.exe
set -euo pipefail

installer=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(dirname "$installer")/wine-install
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine names the user folder after USER: a Russian user's, as in C:\users\Иван.
export USER=Иван LANG=C.UTF-8
rm -rf "$work"
mkdir -p "$work"
wineboot -i >/dev/null 2>&1
fail() {
    echo "Windows install check failed: $*" >&2
    exit 1
}
unix() { wine winepath -u "$1" 2>/dev/null | tr -d '\r'; }
has_key() { wine reg query "$1" >/dev/null 2>&1; }
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\KORVEX Setup'

# The script CPack made the installer from, where the build left it: no placeholder licence,
# Run on the finish page.
script=$(dirname "$installer")/_CPack_Packages/win64/NSIS/project.nsi
if [ -f "$script" ]; then
    ! grep -q 'installer created using CPack\|No license provided\|MUI_PAGE_LICENSE' "$script" ||
        fail "the installer carries CPack's placeholder or a licence page"
    grep -q 'MUI_FINISHPAGE_RUN' "$script" || fail "the finish page offers no Run"
fi

wine "$installer" /S /DESKTOP
program_files=$(unix 'C:\Program Files')
folder="$program_files/KORVEX Setup"
for file in korvex-setup.exe korvex-cli.exe Qt6Core.dll platforms/qwindows.dll Uninstall.exe \
    Readme.txt translations/qtbase_ru.qm translations/qt_ru.qm; do
    [ -f "$folder/$file" ] || fail "$file is not installed in $folder"
done
start_menu=$(unix 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs')
ls "$start_menu/KORVEX Setup/KORVEX Setup.lnk" >/dev/null || fail "no Start menu entry"
# The uninstaller's link in the installer's language (this profile's: English), not CPack's.
[ -f "$start_menu/KORVEX Setup/KORVEX Setup Uninstall.lnk" ] &&
    [ ! -e "$start_menu/KORVEX Setup/Uninstall.lnk" ] ||
    fail "the Start menu's uninstaller: $(ls "$start_menu/KORVEX Setup")"
desktop=$(unix 'C:\users\Public\Desktop')
[ -f "$desktop/KORVEX Setup.lnk" ] || fail "no desktop shortcut though /DESKTOP asked for it"
for value in UninstallString DisplayVersion InstallLocation EstimatedSize; do
    wine reg query "$uninstall_key" /v $value >/dev/null || fail "Programs and Features: no $value"
done
wine reg query 'HKLM\Software\Classes\.KSWA' /ve | grep -q 'KORVEX.Configuration' ||
    fail ".KSWA is not registered"
wine reg query 'HKLM\Software\Classes\KORVEX.Configuration\shell\open\command' /ve |
    grep -q 'korvex-setup.exe' || fail ".KSWA does not open with korvex-setup.exe"

# Started by their Windows paths, as the Start menu starts them.
installed='C:\Program Files\KORVEX Setup'
cli=("wine" "$installed\korvex-cli.exe")
"${cli[@]}" --demo info | tee "$work/info.txt"
grep -q "230417" "$work/info.txt" || fail "korvex-cli.exe --demo info"
# Russian through cmd, as a console window runs it: each line arrives whole.
wine cmd /c "$installed\korvex-cli.exe" --lang ru --demo info | tee "$work/info-ru.txt"
grep -q 'Серийный номер' "$work/info-ru.txt" || fail "korvex-cli.exe --lang ru in cmd"

# Files named in Cyrillic in the user's own folder, in both languages.
user=$(unix 'C:\users\Иван')
[ -d "$user" ] || fail "no user folder C:\\users\\Иван"
mkdir -p "$user/Документы"
doc='C:\users\Иван\Документы'
for lang in ru en; do
    "${cli[@]}" --demo --lang $lang read-config "$doc\\Клиент.KSWA" | tee "$work/read.txt"
    grep -q 'Клиент.KSWA' "$work/read.txt" || fail "read-config does not name the file ($lang)"
    "${cli[@]}" --demo --lang $lang write-config "$doc\\Клиент.KSWA" | tee "$work/write.txt"
    grep -q 'Клиент.KSWA' "$work/write.txt" || fail "write-config does not name the file ($lang)"
    "${cli[@]}" --demo --lang $lang dump "$doc\\Клиент.KSWA" >"$work/dump-$lang.txt"
    [ -s "$work/dump-$lang.txt" ] || fail "dump printed nothing ($lang)"
    "${cli[@]}" --demo --lang $lang sheet "$doc\\Клиент.KSWA" "$doc\\Лист-$lang.pdf"
    [ -s "$user/Документы/Лист-$lang.pdf" ] || fail "no sheet ($lang)"
    "${cli[@]}" --demo --lang $lang snapshots | tee "$work/snapshots.txt"
    grep -q 'Иван' "$work/snapshots.txt" || fail "the snapshots are not in the user's folder"
done

# The window on the windows platform; a close request from the window system ends it with 0.
# The window on the windows platform, asked to close by the window system after its read. The
# Wine session of the commands above has no display: a new one is started on the virtual one.
wineserver -k || true
wineserver -w
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    wine "$1\korvex-setup.exe" --demo & pid=$!
    sleep 12
    wine taskkill /im korvex-setup.exe
    for _ in $(seq 20); do
        kill -0 $pid 2>/dev/null || break
        sleep 1
    done
    if kill -0 $pid 2>/dev/null; then
        [ -z "${KORVEX_SHOT:-}" ] || import -window root "$KORVEX_SHOT"
        wine taskkill /f /im korvex-setup.exe
        exit 99
    fi
    wait $pid' _ "$installed" || fail "korvex-setup.exe --demo did not end with 0 on a close request"
settings="$user/AppData/Local/korvex-setup/korvex-setup.ini"
[ -f "$settings" ] || fail "the window wrote no settings at $settings"
[ ! -e "$folder/korvex-setup.ini" ] || fail "settings written into Program Files"

# Qt's own texts in Russian from the installed catalogues: the test of the window's Qt texts run
# from a copy of the installed folder (with QtTest beside it), where Qt's own paths lead nowhere.
tests=$(dirname "$installer")/tests/app/tst_mainwindow.exe
if [ -f "$tests" ]; then
    copy="$work/installed-copy"
    cp -r "$folder" "$copy"
    cp "$tests" /opt/qt6-mingw64/bin/Qt6Test.dll "$copy/"
    wineserver -k || true
    wineserver -w
    xvfb-run -a -s "-screen 0 1280x800x24" env WINEQT_FORCE_STDERR_LOGGING=1 \
        wine "$copy/tst_mainwindow.exe" qtTextsFollowTheLanguage >"$work/qt-texts.txt" 2>&1 ||
        { cat "$work/qt-texts.txt"; fail "Qt's texts do not follow the language in the installed folder"; }
    grep -q 'PASS   : TestMainWindow::qtTextsFollowTheLanguage' "$work/qt-texts.txt" ||
        { cat "$work/qt-texts.txt"; fail "Qt's texts were not tested in the installed folder"; }
fi

wine "$installed\Uninstall.exe" /S
# The uninstaller runs on from a copy of itself: wait for it.
for _ in $(seq 60); do
    [ -e "$folder" ] || break
    sleep 1
done
[ ! -e "$folder" ] || fail "left in Program Files: $(find "$folder" | head -5)"
[ -f "$settings" ] || fail "the uninstaller removed the user's settings"
! has_key 'HKLM\Software\KORVEX' || fail "HKLM\Software\KORVEX is left behind"
! has_key "$uninstall_key" || fail "the uninstaller's registry entry is left behind"
! has_key 'HKLM\Software\Classes\.KSWA' || fail ".KSWA is still registered"
! has_key 'HKLM\Software\Classes\KORVEX.Configuration' || fail "KORVEX.Configuration is left"
[ ! -e "$desktop/KORVEX Setup.lnk" ] || fail "the desktop shortcut is left behind"
[ ! -e "$start_menu/KORVEX Setup" ] || fail "left in the Start menu: $(ls "$start_menu/KORVEX Setup")"
echo "Windows install check passed: $(basename "$installer")"
