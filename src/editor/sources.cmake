list(APPEND KORVEX_CORE_SOURCES
    editor/EntryText.cpp editor/EntryText.h)
list(APPEND KORVEX_CORE_SOURCES editor/EventRules.cpp editor/EventRules.h)
