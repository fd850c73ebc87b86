#pragma once
// "Login": a user name and a password for a data source that rejected the
// connection for its credentials.
#include <string>

#include "ui/TemplateDialog.h"

class LoginDlg : public TemplateDialog {
public:
    static constexpr int IDD = 151;
    // Control ids of the template.
    static constexpr int kDataSourceText = 1210;
    static constexpr int kUserEdit = 1211;
    static constexpr int kPasswordEdit = 1212;
    static constexpr int kReasonText = 1213;
    static constexpr int kOkButton = IDOK;
    static constexpr int kCancelButton = IDCANCEL;

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
