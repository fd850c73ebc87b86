#pragma once
// A main dialog on a private settings store, with faked message boxes, folder
// choice and connection prompts, shown modeless so that a test can drive it.
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <memory>

#include "AppTestSupport.h"
#include "app/CCompareDlg.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"
#include "app/SettingsStore.h"

namespace apptest {

class MainDialogHarness {
public:
    explicit MainDialogHarness(std::string executable = "/opt/tolvane/bin/tolvane")
        : m_executable(std::move(executable))
    {
    }

    CCompareDlg& Open()
    {
        dialog = std::make_unique<CCompareDlg>(AppContext{store, resources, dialogs, &prompt, m_executable});
        dialog->Create();
        dialog->Window()->show();
        return *dialog;
    }
    // Destroys the dialog (which stores its three values).
    void Close()
    {
        if (dialog && dialog->Window())
            dialog->Window()->reject();
        dialog.reset();
    }

    QLineEdit* Edit(int id) const { return dialog->Item<QLineEdit>(id); }
    QCheckBox* Check(int id) const { return dialog->Item<QCheckBox>(id); }
    QPushButton* Button(int id) const { return dialog->Item<QPushButton>(id); }
    QTableWidget* List() const { return dialog->Item<QTableWidget>(CCompareDlg::kTableList); }

    void SetNames(const std::string& oldName, const std::string& newName)
    {
        Edit(CCompareDlg::kOldDataSourceEdit)->setText(QString::fromStdString(oldName));
        Edit(CCompareDlg::kNewDataSourceEdit)->setText(QString::fromStdString(newName));
    }

    IsolatedSettings isolated;
    ResourceModule own = ResourceModule::Own("/opt/tolvane/bin/tolvane");
    ResourceSource resources{own};
    SettingsStore store{"Orvenne Software Inc.", "Tolvane and Merge"};
    FakeUserDialogs dialogs;
    FakeConnectPrompt prompt;
    std::unique_ptr<CCompareDlg> dialog;

private:
    std::string m_executable;
};

} // namespace apptest
