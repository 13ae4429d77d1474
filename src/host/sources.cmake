list(APPEND KORVEX_CORE_SOURCES
    host/Clock.h
    host/CommandTexts.h
    host/EditorViews.h
    host/FileAccess.cpp host/FileAccess.h
    host/FileTexts.h
    host/HandOver.cpp host/HandOver.h
    host/MonitorState.h
    host/QuietHost.h
    host/QuitSignals.cpp host/QuitSignals.h
    host/RequireController.h
    host/SystemFacts.cpp host/SystemFacts.h
    host/TextFile.cpp host/TextFile.h
    host/TickCount.h
    host/UiHost.cpp host/UiHost.h
    host/UsbDevices.cpp host/UsbDevices.h)
list(APPEND KORVEX_UI_SOURCES host/ToolIcons.cpp host/ToolIcons.h)
