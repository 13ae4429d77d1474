list(APPEND KORVEX_CORE_SOURCES
    config/ConfigTransfer.cpp config/ConfigTransfer.h config/ConfigImage.h)
list(APPEND KORVEX_CORE_SOURCES
    config/ConfigFile.cpp config/ConfigFile.h
    config/IniFile.cpp config/IniFile.h)
list(APPEND KORVEX_CORE_SOURCES
    config/ConfigImage.cpp
    config/ValueEntry.cpp config/ValueEntry.h
    config/Vocabulary.cpp config/Vocabulary.h)
