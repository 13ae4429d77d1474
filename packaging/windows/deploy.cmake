# What a Windows installation holds besides the two programs: the Qt plugins they load (the
# platform and the style; Qt 6 prints through Qt6PrintSupport.dll itself, with no plugin) and
# every DLL the programs and those plugins import, Qt's and the MinGW runtime's, found by CMake
# from their imports (deploy-runtime.cmake). Qt's own deployment script needs windeployqt, which a
# cross build does not have.
set(korvex_plugins
    "platforms=$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>"
    "styles=$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>")
install(CODE "
set(KORVEX_DEPLOY_PROGRAMS \"$<TARGET_FILE:korvex-setup>;$<TARGET_FILE:korvex-cli>\")
set(KORVEX_DEPLOY_PLUGINS \"${korvex_plugins}\")
set(KORVEX_DEPLOY_DIRS \"$<TARGET_FILE_DIR:Qt6::Core>\")
set(KORVEX_DEPLOY_STAGE \"${CMAKE_BINARY_DIR}/deploy-names\")
set(KORVEX_OBJDUMP \"${CMAKE_OBJDUMP}\")
")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/deploy-runtime.cmake)

# Qt's own texts (standard buttons, file dialogs, edit menus) in Russian and English, in
# translations\ beside the programs, where the program looks first (src/app/QtTranslation.cpp).
set(korvex_qt_catalogues)
foreach(name qt qtbase qtserialport)
    foreach(lang ru en)
        set(catalogue "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS}/${name}_${lang}.qm")
        if(NOT EXISTS "${catalogue}")
            message(FATAL_ERROR "${catalogue} is missing: the toolchain lacks Qt's catalogues")
        endif()
        list(APPEND korvex_qt_catalogues "${catalogue}")
    endforeach()
endforeach()
install(FILES ${korvex_qt_catalogues} DESTINATION translations)
