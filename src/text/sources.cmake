list(APPEND KORVEX_CORE_SOURCES
    text/TextPair.cpp text/TextPair.h)
