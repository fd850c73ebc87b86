#pragma once
// The Options dialog: the six line markers of the merge file. The object holds
// the comparison settings record for the whole program run; each opening
// re-reads the record from the store, OK writes all fifteen values back.
#include "common/CompareSettings.h"
#include "ui/TemplateDialog.h"

class SettingsValues;

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
    static constexpr int kOkButton = IDOK;
    static constexpr int kCancelButton = IDCANCEL;

    COptionsDlg(SettingsValues& store, const DialogResources& resources, QWidget* parent = nullptr);

    CompareSettings m_settings;

protected:
    void DoDataExchange(bool save) override;

private:
    SettingsValues& m_store;
};
