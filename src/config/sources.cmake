list(APPEND KORVEX_CORE_SOURCES config/ConfigImage.h)
