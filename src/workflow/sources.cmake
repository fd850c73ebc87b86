# Sources of workflow/, listed relative to this file.
set(WORKFLOW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CompareFolderLock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompareRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompareRunReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ErrorText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MergeRun.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PairComparison.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PeakMemory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReplacementFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SideBySide.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TableListing.cpp
)
