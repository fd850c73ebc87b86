# Sources of textcompare/, listed relative to this file.
set(TEXTCOMPARE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CompareSettings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowScanner.cpp
)
