list(APPEND KORVEX_CORE_SOURCES
    config/ConfigTransfer.cpp config/ConfigTransfer.h config/ConfigImage.h)
list(APPEND KORVEX_CORE_SOURCES
    config/ConfigFile.cpp config/ConfigFile.h
    config/IniFile.cpp config/IniFile.h)
list(APPEND KORVEX_CORE_SOURCES
    config/ConfigImage.cpp
    config/ValueEntry.cpp config/ValueEntry.h
    config/Vocabulary.cpp config/Vocabulary.h)
list(APPEND KORVEX_CORE_SOURCES
    config/ParameterRules.cpp config/ParameterRules.h)
list(APPEND KORVEX_CORE_SOURCES
    config/ConfigDiff.cpp config/ConfigDiff.h
    config/ParameterWords.cpp config/ParameterWords.h
    config/ConfigText.cpp config/ConfigText.h)
# The entries' words and the rules of the event and reaction pages that need no window.
list(APPEND KORVEX_CORE_SOURCES
    config/EntryWords.cpp config/EntryWords.h
    config/EventRules.cpp config/EventRules.h
    config/ReactionRules.cpp config/ReactionRules.h)
list(APPEND KORVEX_CORE_SOURCES config/Snapshots.cpp config/Snapshots.h)
list(APPEND KORVEX_UI_SOURCES
    config/ChoiceBoxes.h
    config/EnterOnlyEdit.cpp config/EnterOnlyEdit.h
    config/ParameterPages.cpp config/ParameterPages.h
    config/ParamPagePins.ui config/ParamPageLin.ui
    config/ParamPageSources.ui config/ParamPageRadio.ui)
# The undo history needs QtGui's undo stack, and no window.
list(APPEND KORVEX_GUI_SOURCES config/ConfigHistory.cpp config/ConfigHistory.h)
# The library of configuration files and the snapshots' history, listed off the window's thread.
list(APPEND KORVEX_CORE_SOURCES
    config/ConfigLibrary.cpp config/ConfigLibrary.h
    config/LibraryScanner.cpp config/LibraryScanner.h)
