# Sources of merge/, listed relative to this file.
set(MERGE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CRowValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChangeSet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColumnPlacement.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FieldSplitting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MergeFileReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PhysicalLineReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqlLiterals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatementBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatementExecution.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatementOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableStatements.cpp
)
