# The firmware folder's files, by target.
list(APPEND KORVEX_CORE_SOURCES
    firmware/FirmwareFile.cpp firmware/FirmwareFile.h firmware/FirmwareTexts.h
    firmware/FirmwareUpdate.cpp firmware/FirmwareUpdate.h)
