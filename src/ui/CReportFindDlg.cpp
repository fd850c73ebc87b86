#include "ui/CReportFindDlg.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

CReportFindDlg::CReportFindDlg(const DialogResources& resources, QWidget* parent)
    : TemplateDialog(IDD, resources, parent)
{
}

bool CReportFindDlg::ShowAndActivate()
{
    if (!Window() && !Create())
        return false;
    Window()->show();
    Window()->raise();
    Window()->activateWindow();
    return true;
}

void CReportFindDlg::DoDataExchange(bool save)
{
    DDX_Text(save, kFindWhatEdit, m_strFindWhat);
    DDX_Check(save, kWholeWordCheck, m_bWholeWord);
    DDX_Check(save, kMatchCaseCheck, m_bMatchCase);
    auto* up = Item<QRadioButton>(kUpRadio);
    auto* down = Item<QRadioButton>(kDownRadio);
    if (save) {
        if (down)
            m_bSearchDown = down->isChecked();
    } else {
        if (up)
            up->setChecked(!m_bSearchDown);
        if (down)
            down->setChecked(m_bSearchDown);
    }
}

bool CReportFindDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();
    if (auto* edit = Item<QLineEdit>(kFindWhatEdit)) {
        // Nothing to look for, nothing to find: Find Next waits for a text.
        QObject::connect(edit, &QLineEdit::textChanged, Window(), [this] { UpdateFindNextButton(); });
        edit->selectAll();
        edit->setFocus();
    }
    UpdateFindNextButton();
    return true;
}

void CReportFindDlg::UpdateFindNextButton()
{
    auto* edit = Item<QLineEdit>(kFindWhatEdit);
    if (auto* button = Item<QPushButton>(kFindNextButton))
        button->setEnabled(edit && !edit->text().isEmpty());
}

void CReportFindDlg::OnOK()
{
    if (!UpdateData(true) || m_strFindWhat.empty())
        return;
    if (onFindNext)
        onFindNext(*this);
}

void CReportFindDlg::OnCancel()
{
    DestroyWindow();
}
