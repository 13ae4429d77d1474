list(APPEND KORVEX_CORE_SOURCES
    app/MonitorState.h
    app/UiHost.cpp app/UiHost.h)
list(APPEND KORVEX_UI_SOURCES
    app/MainWindow.cpp app/MainWindow.h)
