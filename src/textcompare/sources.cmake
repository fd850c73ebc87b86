# Sources of textcompare/, listed relative to this file.
set(TEXTCOMPARE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BlockLists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompareFiles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CompareReport.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Comparison.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HashCountMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HugePageAllocator.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineCompare.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineMatching.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineQueueMap.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LineStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MergeBlocks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OutputFileSink.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RepeatedLines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowScanner.cpp
)
