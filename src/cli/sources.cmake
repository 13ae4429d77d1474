list(APPEND KORVEX_CLI_SOURCES
    cli/CliHost.cpp cli/CliHost.h
    cli/CliCommands.cpp cli/CliCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/CliSession.cpp cli/CliSession.h)
list(APPEND KORVEX_CLI_SOURCES cli/FirmwareCommands.cpp cli/FirmwareCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/LinCommands.cpp cli/LinCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/CliPlatform.cpp cli/CliPlatform.h)
list(APPEND KORVEX_CLI_SOURCES cli/InputLines.cpp cli/InputLines.h)
list(APPEND KORVEX_CLI_SOURCES cli/WatchCommands.cpp cli/WatchCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/SnapshotCommands.cpp cli/SnapshotCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/CliHelp.cpp cli/CliHelp.h)
list(APPEND KORVEX_CLI_SOURCES cli/SheetCommands.cpp cli/SheetCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/TextCommands.cpp cli/TextCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/LibraryCommands.cpp cli/LibraryCommands.h)
