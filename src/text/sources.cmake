list(APPEND KORVEX_CORE_SOURCES
    text/TextPair.cpp text/TextPair.h)
list(APPEND KORVEX_CORE_SOURCES text/Cp1251.cpp text/Cp1251.h)
list(APPEND KORVEX_CORE_SOURCES text/LanguageTable.cpp text/LanguageTable.h)
list(APPEND KORVEX_UI_SOURCES text/ApplyLanguageTable.cpp text/ApplyLanguageTable.h)
list(APPEND KORVEX_CORE_SOURCES text/LookAlike.cpp text/LookAlike.h)
