#pragma once
// The modeless Find dialog of a report list: the text to find, Match whole word
// only, Match case and the direction. Find Next hands the values to the list
// and leaves the dialog open; Cancel, Escape and the close box close it.
#include <cstdint>
#include <functional>
#include <string>

#include "ui/TemplateDialog.h"

class CReportFindDlg : public TemplateDialog {
public:
    static constexpr int IDD = 1540;
    static constexpr int kFindWhatEdit = 1152;
    static constexpr int kWholeWordCheck = 1040;
    static constexpr int kMatchCaseCheck = 1041;
    static constexpr int kUpRadio = 1056;
    static constexpr int kDownRadio = 1057;
    static constexpr int kFindNextButton = IDOK;
    static constexpr int kCancelButton = IDCANCEL;

    CReportFindDlg(const DialogResources& resources, QWidget* parent);

    std::string m_strFindWhat;
    std::int32_t m_bWholeWord = 0;
    std::int32_t m_bMatchCase = 0;
    bool m_bSearchDown = true;

    // Called on Find Next, after the dialog's values were taken.
    std::function<void(const CReportFindDlg&)> onFindNext;

    // Shows the window (created first if it is not there) and makes it active.
    bool ShowAndActivate();
    bool IsOpen() const { return Window() != nullptr; }

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void UpdateFindNextButton();
};
