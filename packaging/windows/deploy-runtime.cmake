# Run by cmake --install of the Windows build (deploy.cmake sets the KORVEX_DEPLOY_* variables):
# copies the plugins into their folders beside the programs, then every DLL that the programs
# and the plugins import, found in the Qt folder, beside the programs. A DLL that is not found
# there must be one of Windows itself; a Qt or MinGW one missing stops the installation.
set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
if(KORVEX_OBJDUMP)
    # MinGW's objdump reads the imports, on Linux too; MSVC's dumpbin is CMake's own default.
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
    set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND "${KORVEX_OBJDUMP}")
endif()

set(modules)
foreach(entry IN LISTS KORVEX_DEPLOY_PLUGINS)
    string(REGEX REPLACE "=.*" "" folder "${entry}")
    string(REGEX REPLACE "^[^=]*=" "" plugin "${entry}")
    list(APPEND modules "${plugin}")
    file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${folder}" TYPE SHARED_LIBRARY
        FILES "${plugin}")
endforeach()

# CMake looks up a Windows program's imports by their names in lower case, which a Linux file
# system tells apart: it searches a folder of lower-case links to the DLLs instead.
file(REMOVE_RECURSE "${KORVEX_DEPLOY_STAGE}")
file(MAKE_DIRECTORY "${KORVEX_DEPLOY_STAGE}")
foreach(dir IN LISTS KORVEX_DEPLOY_DIRS)
    file(GLOB dlls "${dir}/*.dll")
    foreach(dll IN LISTS dlls)
        get_filename_component(name "${dll}" NAME)
        string(TOLOWER "${name}" lower)
        file(CREATE_LINK "${dll}" "${KORVEX_DEPLOY_STAGE}/${lower}" SYMBOLIC COPY_ON_ERROR)
    endforeach()
endforeach()

file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES ${KORVEX_DEPLOY_PROGRAMS}
    MODULES ${modules}
    DIRECTORIES "${KORVEX_DEPLOY_STAGE}"
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-"
    RESOLVED_DEPENDENCIES_VAR found
    UNRESOLVED_DEPENDENCIES_VAR unresolved)

set(libraries)
foreach(link IN LISTS found)
    file(REAL_PATH "${link}" library)
    list(APPEND libraries "${library}")
endforeach()
foreach(name IN LISTS unresolved)
    if(name MATCHES "^(qt6|lib)")
        message(FATAL_ERROR "${name}, which the programs import, is not in ${KORVEX_DEPLOY_DIRS}")
    endif()
endforeach()
list(SORT libraries)
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}" TYPE SHARED_LIBRARY FILES ${libraries})
