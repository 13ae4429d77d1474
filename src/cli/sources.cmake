list(APPEND KORVEX_CLI_SOURCES
    cli/CliHost.cpp cli/CliHost.h
    cli/CliCommands.cpp cli/CliCommands.h)
list(APPEND KORVEX_CLI_SOURCES cli/CliSession.cpp cli/CliSession.h)
