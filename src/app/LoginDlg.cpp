#include "app/LoginDlg.h"

#include <QLabel>

LoginDlg::LoginDlg(std::string dataSourceName, std::string reason, const DialogResources& resources,
                   QWidget* parent)
    : TemplateDialog(IDD, resources, parent),
      m_strDataSource(std::move(dataSourceName)),
      m_strReason(std::move(reason))
{
}

void LoginDlg::DoDataExchange(bool save)
{
    if (!save) {
        if (auto* name = Item<QLabel>(kDataSourceText))
            name->setText(QString::fromStdString(m_strDataSource));
        if (auto* reason = Item<QLabel>(kReasonText))
            reason->setText(QString::fromStdString(m_strReason).trimmed());
    }
    DDX_Text(save, kUserEdit, m_strUser);
    DDX_Text(save, kPasswordEdit, m_strPassword);
}
