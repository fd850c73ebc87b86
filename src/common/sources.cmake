# Sources of common/, listed relative to this file.
set(COMMON_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/UiHooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MergeFileLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompareSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MemoryBudget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceStrings.cpp
  ${CMAKE_BINARY_DIR}/generated/common/StringTableData.h
)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/generated/common/StringTableData.h
  COMMAND ${CMAKE_COMMAND} -DIN=${PROJECT_SOURCE_DIR}/resources/strings.txt
          -DOUT=${CMAKE_BINARY_DIR}/generated/common/StringTableData.h
          -P ${CMAKE_CURRENT_LIST_DIR}/GenerateStringTable.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/resources/strings.txt ${CMAKE_CURRENT_LIST_DIR}/GenerateStringTable.cmake
  COMMENT "Generating the built-in string table")
