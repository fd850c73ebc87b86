# Sources of common/, listed relative to this file.
set(COMMON_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/UiHooks.cpp
)
