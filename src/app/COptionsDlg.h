#pragma once
// The Options dialog: the six line markers of the merge file and the memory a
// comparison may hold. The object holds the comparison settings record for
// the whole program run; each opening re-reads the record from the store, OK
// writes all sixteen values back. A memory text that is no size keeps the
// dialog open with a message.
#include "common/CompareSettings.h"
#include "ui/TemplateDialog.h"

class SettingsValues;
class UserDialogs;

class COptionsDlg : public TemplateDialog {
public:
    static constexpr int IDD = 143;
    // Control ids of the template.
    static constexpr int kFile1LinePrefixEdit = 1125;
    static constexpr int kFile2LinePrefixEdit = 1126;
    static constexpr int kFile1SectionHeaderEdit = 1127;
    static constexpr int kFile2SectionHeaderEdit = 1128;
    static constexpr int kFile1SectionFooterEdit = 1129;
    static constexpr int kFile2SectionFooterEdit = 1130;
    static constexpr int kMemoryBudgetEdit = 1131;
    static constexpr int kOkButton = IDOK;
    static constexpr int kCancelButton = IDCANCEL;
    // "The memory per comparison must be a size such as 512M or 4G, or empty for ..."
    static constexpr int kBadMemoryText = 3060;

    // `dialogs` shows the message about a bad memory text; without it the
    // dialog only stays open.
    COptionsDlg(SettingsValues& store, const DialogResources& resources, QWidget* parent = nullptr,
                UserDialogs* dialogs = nullptr);

    CompareSettings m_settings;

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnOK() override;

private:
    SettingsValues& m_store;
    UserDialogs* m_dialogs;
};
