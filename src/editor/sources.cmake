list(APPEND KORVEX_CORE_SOURCES
    editor/KindMenus.cpp editor/KindMenus.h)
list(APPEND KORVEX_UI_SOURCES
    editor/EditorContext.h
    editor/EditorPanel.cpp editor/EditorPanel.h editor/EditorPanel.ui
    editor/EventEditor.cpp editor/EventEditor.h
    editor/EventBottom.ui editor/EventPageLin.ui editor/EventPageTimeout.ui
    editor/EventPageVoltage.ui
    editor/ReactionEditor.cpp editor/ReactionEditor.h
    editor/ReactionPageLin.ui editor/ReactionPagePin.ui editor/ReactionPageAnalog.ui
    editor/ReactionPageSource.ui editor/ReactionPageEventControl.ui
    editor/SourceDialog.cpp editor/SourceDialog.h editor/SourceDialog.ui
    editor/TabNameDialog.cpp editor/TabNameDialog.h editor/TabNameDialog.ui
    editor/WholeTabs.cpp editor/WholeTabs.h)
