# Sources of ui/, listed relative to this file.
set(UI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/DialogTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuTemplate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogUnits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DialogBuilder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TemplateWindow.h
  ${CMAKE_CURRENT_LIST_DIR}/TemplateWindow.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TemplateDialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CResizableDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowTextSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ReportListModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CReportFindDlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CReportListCtrl.cpp
)
