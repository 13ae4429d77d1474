list(APPEND KORVEX_CORE_SOURCES
    editor/EntryText.cpp editor/EntryText.h
    editor/EventRules.cpp editor/EventRules.h
    editor/ReactionRules.cpp editor/ReactionRules.h
    editor/KindMenus.cpp editor/KindMenus.h)
list(APPEND KORVEX_UI_SOURCES
    editor/EditorContext.h)
list(APPEND KORVEX_UI_SOURCES
    editor/ReactionEditor.cpp editor/ReactionEditor.h
    editor/ReactionPageLin.ui editor/ReactionPagePin.ui editor/ReactionPageAnalog.ui
    editor/ReactionPageSource.ui editor/ReactionPageEventControl.ui)
