# Sources of workflow/, listed relative to this file.
set(WORKFLOW_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MergeRun.cpp
)
