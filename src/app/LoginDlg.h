#pragma once
// "Login": a user name and a password for a data source that rejected the
// connection for its credentials.
#include <string>

#include "ui/TemplateDialog.h"

class LoginDlg : public TemplateDialog {
public:
    static constexpr int IDD = 151;

    LoginDlg(std::string dataSourceName, std::string reason, const DialogResources& resources,
             QWidget* parent = nullptr);

    std::string m_strUser;
    std::string m_strPassword;

protected:
    void DoDataExchange(bool save) override;

private:
    std::string m_strDataSource;
    std::string m_strReason;
};
