# Sources of datasource/, listed relative to this file.
set(DATASOURCE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DatabaseError.cpp
)
