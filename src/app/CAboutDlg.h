#pragma once
// "About": the program's name and version, its icon drawn large, links to the
// project's web site and mail address, and two facts about the machine: its
// physical memory and the free space where the program works.
#include <string>

#include "ui/CHyperLink.h"
#include "ui/CIconButton.h"
#include "ui/TemplateDialog.h"

class LinkShell;
class SystemFacts;

class CAboutDlg : public TemplateDialog {
public:
    static constexpr int IDD = 100;
    // Control ids of the template.
    static constexpr int kIconButton = 1008;
    static constexpr int kWebLink = 1003;
    static constexpr int kMailLink = 107;
    static constexpr int kMemoryText = 901;
    static constexpr int kDiskText = 906;
    static constexpr int kOkButton = IDOK;

    static constexpr const char* kWebAddress = "https://orvenne.example/tolvane";
    static constexpr const char* kMailAddress = "mailto:tolvane@orvenne.example";

    CAboutDlg(const DialogResources& resources, LinkShell& shell, const SystemFacts& facts,
              QWidget* parent = nullptr);

    CHyperLink m_webLink;
    CHyperLink m_mailLink;
    CIconButton m_iconButton;

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;

private:
    void SetItemText(int id, const std::string& text);

    const SystemFacts& m_facts;
};
