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

    COptionsDlg(SettingsValues& store, const DialogResources& resources, QWidget* parent = nullptr);

    CompareSettings m_settings;

protected:
    void DoDataExchange(bool save) override;

private:
    SettingsValues& m_store;
};
