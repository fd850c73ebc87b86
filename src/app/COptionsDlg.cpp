#include "app/COptionsDlg.h"

#include <QDialog>
#include <QLineEdit>

#include "app/UserDialogs.h"
#include "common/MemoryBudget.h"
#include "common/ResourceStrings.h"
#include "common/SettingsValues.h"

COptionsDlg::COptionsDlg(SettingsValues& store, const DialogResources& resources, QWidget* parent,
                         UserDialogs* dialogs)
    : TemplateDialog(IDD, resources, parent), m_store(store), m_dialogs(dialogs)
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
    DDX_Text(save, kMemoryBudgetEdit, m_settings.m_strMemoryBudget);
    if (save)
        m_settings.SaveSettings(m_store);
}

bool COptionsDlg::OnInitDialog()
{
    const bool result = TemplateDialog::OnInitDialog();
    // An empty field is the default, which the field shows greyed.
    if (auto* edit = Item<QLineEdit>(kMemoryBudgetEdit))
        edit->setPlaceholderText(QString::fromStdString(MemorySizeText(DefaultMemoryBudget())));
    return result;
}

void COptionsDlg::OnOK()
{
    auto* edit = Item<QLineEdit>(kMemoryBudgetEdit);
    if (edit && !MemoryBudgetOf(edit->text().toStdString())) {
        if (m_dialogs)
            m_dialogs->ShowMessage(Window(), LoadResourceString(kBadMemoryText));
        edit->setFocus();
        edit->selectAll();
        return;
    }
    TemplateDialog::OnOK();
}
