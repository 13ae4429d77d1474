list(APPEND KORVEX_CORE_SOURCES
    app/AppCore.h
    app/ConnectionMonitor.cpp app/ConnectionMonitor.h
    app/ToolbarCommands.cpp app/ToolbarCommands.h
    app/SingleInstance.cpp app/SingleInstance.h)
list(APPEND KORVEX_CORE_SOURCES app/SnapshotKeeper.cpp app/SnapshotKeeper.h)
list(APPEND KORVEX_UI_SOURCES
    app/MainWindow.cpp app/MainWindow.h app/MainWindow.ui
    app/MainToolbar.cpp app/MainToolbar.h
    app/PanelMenu.cpp app/PanelMenu.h
    app/WindowHost.cpp app/WindowHost.h
    app/QtTranslation.cpp app/QtTranslation.h
    app/UndoBar.cpp app/UndoBar.h
    app/OverviewPage.cpp app/OverviewPage.h)
list(APPEND KORVEX_CORE_SOURCES app/Settings.cpp app/Settings.h)
list(APPEND KORVEX_CORE_SOURCES app/WindowPlacement.cpp app/WindowPlacement.h)
list(APPEND KORVEX_UI_SOURCES app/FileDialogs.cpp app/FileDialogs.h)
list(APPEND KORVEX_UI_SOURCES app/TextClipboard.cpp app/TextClipboard.h)
list(APPEND KORVEX_UI_SOURCES app/WorkGuard.cpp app/WorkGuard.h app/FileArrivals.cpp app/FileArrivals.h
    app/MainWindowSettings.cpp app/MainWindowLibrary.cpp)
list(APPEND KORVEX_CORE_SOURCES
    app/AboutText.cpp app/AboutText.h
    app/DroppedFiles.cpp app/DroppedFiles.h
    app/OpenedFile.cpp app/OpenedFile.h
    app/RecoveryCopy.cpp app/RecoveryCopy.h
    app/RecentFiles.cpp app/RecentFiles.h)
list(APPEND KORVEX_UI_SOURCES
    app/AboutBox.cpp app/AboutBox.h
    app/FileDrops.cpp app/FileDrops.h
    app/KeyboardAccess.cpp app/KeyboardAccess.h
    app/RecentFilesMenu.cpp app/RecentFilesMenu.h
    app/ToolbarKeys.cpp app/ToolbarKeys.h)
# The program's own icons: PNGs that tools/make-icons.sh renders from the SVGs beside them, in
# app/icons; host/ToolIcons loads them for the window and the LIN page.
set(KORVEX_ICONS defaults export firmware lin-read lin-write only-used open print read-device redo restart save
    undo write-device)
list(APPEND KORVEX_UI_SOURCES app/LibraryPage.cpp app/LibraryPage.h)
