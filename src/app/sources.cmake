list(APPEND KORVEX_CORE_SOURCES
    app/CommandTexts.h
    app/MonitorState.h
    app/UiHost.cpp app/UiHost.h)
list(APPEND KORVEX_UI_SOURCES
    app/MainWindow.cpp app/MainWindow.h)
list(APPEND KORVEX_CORE_SOURCES app/Settings.cpp app/Settings.h)
