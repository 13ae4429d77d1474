list(APPEND KORVEX_CORE_SOURCES
    sheet/ConfigOverview.cpp sheet/ConfigOverview.h
    sheet/OverviewModel.cpp sheet/OverviewModel.h)
