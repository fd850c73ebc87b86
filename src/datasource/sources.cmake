# Sources of datasource/, listed relative to this file.
set(DATASOURCE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/BoundRowBlock.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDatabase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CRecordsetEx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataSourceList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DatabaseError.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DumpWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/EmbeddedSqlite.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FloatText.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OdbcDiagnostics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OdbcHandles.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReplaceBrackets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqlLiteralFacts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TablePairing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WholeTableQuery.cpp
)
