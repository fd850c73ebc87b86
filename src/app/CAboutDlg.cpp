#include "app/CAboutDlg.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>

#include "app/AboutTexts.h"
#include "app/SystemFacts.h"
#include "common/ResourceStrings.h"

namespace {
constexpr int kWebSentence = 2324;
constexpr int kMailSentence = 2325;
} // namespace

CAboutDlg::CAboutDlg(const DialogResources& resources, LinkShell& shell, const SystemFacts& facts, QWidget* parent)
    : TemplateDialog(IDD, resources, parent),
      m_webLink(resources, shell),
      m_mailLink(resources, shell),
      m_iconButton(resources),
      m_facts(facts)
{
}

void CAboutDlg::DoDataExchange(bool save)
{
    // The links take over their edits when the window is new.
    if (save)
        return;
    if (auto* edit = Item<QLineEdit>(kWebLink); edit != m_webLink.Edit())
        m_webLink.SubclassEdit(edit);
    if (auto* edit = Item<QLineEdit>(kMailLink); edit != m_mailLink.Edit())
        m_mailLink.SubclassEdit(edit);
}

bool CAboutDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();

    if (auto* button = Item<QAbstractButton>(kIconButton)) {
        m_iconButton.SubclassButton(button);
        button->resize(CIconButton::FittingSize());
    }

    m_webLink.SetLink(kWebAddress, LoadResourceString(kWebSentence), true);
    m_mailLink.SetLink(kMailAddress, LoadResourceString(kMailSentence), true);
    for (const CHyperLink* link : {&m_webLink, &m_mailLink})
        if (link->Edit())
            link->Edit()->update();

    SetItemText(kMemoryText, MemoryText(m_facts.TotalPhysicalMemory()));
    SetItemText(kDiskText, DiskText(m_facts.FreeDiskSpace()));
    // A dialog with a parent opens centred on it.
    return true;
}

void CAboutDlg::SetItemText(int id, const std::string& text)
{
    if (auto* label = Item<QLabel>(id))
        label->setText(QString::fromStdString(text));
}
