# --- comparison engine benchmark (bench/compare_bench) ---
if(TARGET tolvane_textcompare)
  add_executable(compare_driver ${CMAKE_CURRENT_LIST_DIR}/compare_driver.cpp)
  target_link_libraries(compare_driver PRIVATE tolvane_textcompare)
  target_compile_options(compare_driver PRIVATE -Wall -Wextra)
  # The same inside a Qt application, to see what the user interface costs.
  if(TOLVANE_BUILD_GUI)
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
    add_executable(compare_qt_driver ${CMAKE_CURRENT_LIST_DIR}/compare_qt_driver.cpp)
    target_link_libraries(compare_qt_driver PRIVATE tolvane_textcompare Qt6::Widgets)
    target_compile_options(compare_qt_driver PRIVATE -Wall -Wextra)
  endif()
endif()
# --- end of comparison engine benchmark ---
# --- merge stage benchmark (bench/merge_bench) ---
if(TARGET tolvane_merge)
  add_executable(merge_bench_driver ${CMAKE_CURRENT_LIST_DIR}/merge_bench_driver.cpp)
  target_link_libraries(merge_bench_driver PRIVATE tolvane_merge)
  target_compile_options(merge_bench_driver PRIVATE -Wall -Wextra)
endif()
# --- end of merge stage benchmark ---
# --- table dump benchmark (bench/dump_bench) ---
if(TARGET tolvane_datasource)
  add_executable(dump_driver ${CMAKE_CURRENT_LIST_DIR}/dump_driver.cpp)
  target_link_libraries(dump_driver PRIVATE tolvane_datasource)
  target_compile_options(dump_driver PRIVATE -Wall -Wextra)
  # The peer: the smallest ODBC loop that writes the same bytes.
  add_executable(dump_peer_loop ${CMAKE_CURRENT_LIST_DIR}/dump_peer_loop.cpp)
  target_link_libraries(dump_peer_loop PRIVATE ODBC::ODBC)
  target_compile_options(dump_peer_loop PRIVATE -O2 -Wall -Wextra)
endif()
# --- end of table dump benchmark ---
# --- statement execution benchmark (bench/execute_bench) ---
if(TARGET tolvane_merge)
  add_executable(execute_driver ${CMAKE_CURRENT_LIST_DIR}/execute_driver.cpp)
  target_link_libraries(execute_driver PRIVATE tolvane_merge)
  target_compile_options(execute_driver PRIVATE -Wall -Wextra)
endif()
# --- end of statement execution benchmark ---
# --- SQL preview benchmark (bench/preview_bench) ---
if(TARGET tolvane_ui)
  # Qt's imported targets are seen only where they were looked for.
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(preview_bench_driver ${CMAKE_CURRENT_LIST_DIR}/preview_bench_driver.cpp)
  target_link_libraries(preview_bench_driver PRIVATE tolvane_ui)
  target_compile_options(preview_bench_driver PRIVATE -Wall -Wextra)
endif()
# --- end of SQL preview benchmark ---
# --- whole compare run benchmark (bench/e2e_bench) ---
if(TARGET tolvane_workflow)
  add_executable(e2e_driver ${CMAKE_CURRENT_LIST_DIR}/e2e_driver.cpp)
  target_link_libraries(e2e_driver PRIVATE tolvane_workflow)
  target_compile_options(e2e_driver PRIVATE -Wall -Wextra)
endif()
# --- end of whole compare run benchmark ---
