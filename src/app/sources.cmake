# Sources of app/, listed relative to this file.
set(APP_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ProgramPaths.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StringTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceModule.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ModuleVersion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResourceSource.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UserDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtUserDialogs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/QtHooks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/COptionsDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CProgressDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DataSourceChooserDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/LoginDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogConnectPrompt.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CCompareDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CCompareApp.cpp
)
