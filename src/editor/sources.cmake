list(APPEND KORVEX_CORE_SOURCES
    editor/EntryText.cpp editor/EntryText.h
    editor/ReactionRules.cpp editor/ReactionRules.h)
