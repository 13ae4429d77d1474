list(APPEND KORVEX_CORE_SOURCES
    sheet/ConfigOverview.cpp sheet/ConfigOverview.h
    sheet/ConfigSheet.cpp sheet/ConfigSheet.h
    sheet/OverviewModel.cpp sheet/OverviewModel.h)
list(APPEND KORVEX_GUI_SOURCES sheet/SheetPdf.cpp sheet/SheetPdf.h)
