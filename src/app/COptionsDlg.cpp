#include "app/COptionsDlg.h"

#include "common/SettingsValues.h"

COptionsDlg::COptionsDlg(SettingsValues& store, const DialogResources& resources, QWidget* parent)
    : TemplateDialog(IDD, resources, parent), m_store(store)
{
}

void COptionsDlg::DoDataExchange(bool save)
{
    // Opening re-reads the store: the dialog shows and saves what is stored,
    // also what another instance of the program stored meanwhile.
    if (!save)
        m_settings.LoadSettings(m_store);
    DDX_Text(save, kFile1LinePrefixEdit, m_settings.m_strFile1LinePrefix);
    DDX_Text(save, kFile1SectionFooterEdit, m_settings.m_strFile1SectionFooter);
    DDX_Text(save, kFile1SectionHeaderEdit, m_settings.m_strFile1SectionHeader);
    DDX_Text(save, kFile2LinePrefixEdit, m_settings.m_strFile2LinePrefix);
    DDX_Text(save, kFile2SectionFooterEdit, m_settings.m_strFile2SectionFooter);
    DDX_Text(save, kFile2SectionHeaderEdit, m_settings.m_strFile2SectionHeader);
    if (save)
        m_settings.SaveSettings(m_store);
}
