# The lin folder's files, by target.
list(APPEND KORVEX_CORE_SOURCES
    lin/LinFirmwareFile.cpp lin/LinFirmwareFile.h
    lin/LinLink.cpp lin/LinLink.h
    lin/LinParams.cpp lin/LinParams.h
    lin/LinProgrammer.cpp lin/LinProgrammer.h
    lin/LinTexts.h)
list(APPEND KORVEX_UI_SOURCES
    lin/LinProgPage.cpp lin/LinProgPage.h lin/LinProgPage.ui)
