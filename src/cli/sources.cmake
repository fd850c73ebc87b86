# Sources of cli/, listed relative to this file.
set(CLI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CliArguments.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CliSession.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CliUsage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompareCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MergeCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalProgress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TerminalPrompt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
)
