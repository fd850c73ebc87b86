#pragma once
// "Select Data Source": the user and system data sources the driver manager
// knows, with their drivers; the user picks one (OK, or a double click).
#include <string>
#include <vector>

#include "datasource/DataSourceList.h"
#include "ui/TemplateDialog.h"

class QTableWidget;

class DataSourceChooserDlg : public TemplateDialog {
public:
    static constexpr int IDD = 150;
    // Control ids of the template.
    static constexpr int kDataSourceList = 1201;
    static constexpr int kOkButton = IDOK;
    static constexpr int kCancelButton = IDCANCEL;

    DataSourceChooserDlg(std::vector<DataSourceEntry> sources, const DialogResources& resources,
                         QWidget* parent = nullptr);

    std::string m_strDataSource;  // the chosen name

protected:
    bool OnInitDialog() override;
    void DoDataExchange(bool save) override;

private:
    void FillList(QTableWidget& list);
    void UpdateOkButton();

    std::vector<DataSourceEntry> m_sources;
};
