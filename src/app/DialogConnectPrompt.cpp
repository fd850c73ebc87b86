#include "app/DialogConnectPrompt.h"

#include <QApplication>

#include "app/DataSourceChooserDlg.h"
#include "app/LoginDlg.h"
#include "datasource/DataSourceList.h"

bool DialogConnectPrompt::ChooseDataSource(std::string& dataSourceName)
{
    DataSourceChooserDlg dialog(ListDataSources(), m_resources, QApplication::activeWindow());
    if (dialog.DoModal() != TemplateDialog::IDOK || dialog.m_strDataSource.empty())
        return false;
    dataSourceName = dialog.m_strDataSource;
    return true;
}

bool DialogConnectPrompt::Login(const std::string& dataSourceName, const std::string& reason, std::string& user,
                                std::string& password)
{
    LoginDlg dialog(dataSourceName, reason, m_resources, QApplication::activeWindow());
    dialog.m_strUser = user;
    if (dialog.DoModal() != TemplateDialog::IDOK)
        return false;
    user = dialog.m_strUser;
    password = dialog.m_strPassword;
    return true;
}
