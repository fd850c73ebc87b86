# The program's own resources compiled into tolvane_ui, the `tolvane`
# executable, and language modules (Qt binary resource bundles named KVLANG.DLL).
# Included from src/CMakeLists.txt after tolvane_ui is defined.

set(TOLVANE_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/resources)

# version.txt carries the four-part file version of a resource tree.
function(tolvane_write_version_file path version)
  file(CONFIGURE OUTPUT ${path} CONTENT "FileVersion=${version}\nProductVersion=${version}\n")
endfunction()

# The files of a resource tree, relative to it.
function(tolvane_resource_files out dir)
  file(GLOB_RECURSE files RELATIVE ${dir} CONFIGURE_DEPENDS
       ${dir}/strings.txt ${dir}/dialogs/*.json ${dir}/menus/*.json ${dir}/icons/*.png
       ${dir}/cursors/*.png)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# tolvane_add_language_module(<target> OUTPUT <file> TREE <dir> [BASE <dir>]
#                             [VERSION <a.b.c.d> | VERSION_TEXT <text> | NO_VERSION])
# Packs TREE (files missing there are taken from BASE) with a version.txt into a
# binary resource bundle. VERSION_TEXT writes version.txt as given, NO_VERSION
# leaves it out (both for testing the start-up checks).
function(tolvane_add_language_module target)
  cmake_parse_arguments(M "NO_VERSION" "OUTPUT;TREE;BASE;VERSION;VERSION_TEXT" "" ${ARGN})
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}.module)
  file(MAKE_DIRECTORY ${work})
  set(entries "")
  set(depends "")
  tolvane_resource_files(tree_files ${M_TREE})
  foreach(f IN LISTS tree_files)
    string(APPEND entries "    <file alias=\"${f}\">${M_TREE}/${f}</file>\n")
    list(APPEND depends ${M_TREE}/${f})
  endforeach()
  if(M_BASE)
    tolvane_resource_files(base_files ${M_BASE})
    foreach(f IN LISTS base_files)
      if(NOT f IN_LIST tree_files)
        string(APPEND entries "    <file alias=\"${f}\">${M_BASE}/${f}</file>\n")
        list(APPEND depends ${M_BASE}/${f})
      endif()
    endforeach()
  endif()
  if(NOT M_NO_VERSION)
    if(DEFINED M_VERSION_TEXT)
      file(CONFIGURE OUTPUT ${work}/version.txt CONTENT "${M_VERSION_TEXT}\n")
    else()
      tolvane_write_version_file(${work}/version.txt ${M_VERSION})
    endif()
    string(APPEND entries "    <file alias=\"version.txt\">${work}/version.txt</file>\n")
    list(APPEND depends ${work}/version.txt)
  endif()
  file(CONFIGURE OUTPUT ${work}/module.qrc
       CONTENT "<RCC>\n  <qresource prefix=\"/\">\n${entries}  </qresource>\n</RCC>\n")
  # Ninja makes the folders of a command's outputs, Make does not.
  get_filename_component(output_dir ${M_OUTPUT} DIRECTORY)
  add_custom_command(OUTPUT ${M_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND $<TARGET_FILE:Qt6::rcc> --binary -o ${M_OUTPUT} ${work}/module.qrc
    DEPENDS ${work}/module.qrc ${depends}
    COMMENT "Packing the language module ${M_OUTPUT}")
  add_custom_target(${target} ALL DEPENDS ${M_OUTPUT})
endfunction()

# The program's own resources, compiled in under :/tolvane.
tolvane_resource_files(own_files ${TOLVANE_RESOURCES_DIR})
list(FILTER own_files EXCLUDE REGEX "^[a-z][a-z]/")  # language trees (de/...) are modules
set(own_paths "")
foreach(f IN LISTS own_files)
  list(APPEND own_paths ${TOLVANE_RESOURCES_DIR}/${f})
  set_source_files_properties(${TOLVANE_RESOURCES_DIR}/${f} PROPERTIES QT_RESOURCE_ALIAS ${f})
endforeach()
set(own_version ${CMAKE_BINARY_DIR}/generated/resources/version.txt)
tolvane_write_version_file(${own_version} ${PROJECT_VERSION})
set_source_files_properties(${own_version} PROPERTIES QT_RESOURCE_ALIAS version.txt)
qt_add_resources(tolvane_ui tolvane_resources PREFIX /tolvane FILES ${own_paths} ${own_version})

add_executable(tolvane ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(tolvane PRIVATE tolvane_ui)
target_compile_options(tolvane PRIVATE -Wall -Wextra)
set_target_properties(tolvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The German language module; copy it beside the executable to use it.
tolvane_add_language_module(tolvane_lang_de
  OUTPUT ${CMAKE_BINARY_DIR}/lang/de/KVLANG.DLL
  TREE ${TOLVANE_RESOURCES_DIR}/de
  BASE ${TOLVANE_RESOURCES_DIR}
  VERSION ${PROJECT_VERSION})
