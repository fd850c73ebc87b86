# Sources of merge/, listed relative to this file.
set(MERGE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/CRowValues.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ChangeSet.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FieldSplitting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MergeFileReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PhysicalLineReader.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SqlLiterals.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StatementBuilder.cpp
)
# The bracket rewrite and the literal facts belong to the data source layer,
# which lists them itself; until it does, they are built here.
foreach(file ReplaceBrackets.cpp SqlLiteralFacts.cpp)
  set(path ${CMAKE_CURRENT_LIST_DIR}/../datasource/${file})
  cmake_path(NORMAL_PATH path)
  set(listed FALSE)
  foreach(source IN LISTS DATASOURCE_SOURCES)
    cmake_path(NORMAL_PATH source OUTPUT_VARIABLE normal)
    if(normal STREQUAL path)
      set(listed TRUE)
    endif()
  endforeach()
  if(NOT listed)
    list(APPEND MERGE_SOURCES ${path})
  endif()
endforeach()
