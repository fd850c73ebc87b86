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
        if (auto* name = Item<QLabel>(1210))
            name->setText(QString::fromStdString(m_strDataSource));
        if (auto* reason = Item<QLabel>(1213))
            reason->setText(QString::fromStdString(m_strReason).trimmed());
    }
    DDX_Text(save, 1211, m_strUser);
    DDX_Text(save, 1212, m_strPassword);
}
