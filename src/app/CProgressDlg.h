#pragma once
// The modeless "Processing" dialog of a compare run: a text and a bar from 0 to
// 200. While it exists its parent is disabled. Cancel, Escape and the close box
// destroy it (when the caller gave a stop flag); however it goes, it raises the
// stop flag, clears the caller's dialog variable and deletes itself.
#include <cstdint>
#include <string>

#include "ui/TemplateDialog.h"

class QProgressBar;

class CProgressDlg : public TemplateDialog {
public:
    static constexpr int IDD = 128;
    // Control ids of the template.
    static constexpr int kStatusText = 1090;
    static constexpr int kProgressBar = 1088;
    static constexpr int kCancelButton = IDCANCEL;
    static constexpr int kRange = 200;

    // Creates the window (not shown yet) and disables `parent`. Allocate with new:
    // the object deletes itself when its window is gone.
    CProgressDlg(CProgressDlg** dialogVariable, std::int64_t total, std::int32_t* stopFlag, int textId,
                 const DialogResources& resources, QWidget* parent);

    // Shows the window centred over its parent.
    void ShowWindow();
    // Moves the bar to current / total of its range, then lets waiting events run.
    void SetProgress(std::int64_t current);
    int Position() const { return m_nPosition; }
    const std::string& StatusText() const { return m_strStatus; }

    // The user's Cancel leaves the parent disabled: the work goes on to the end
    // of its current step, and its owner enables the parent when it is done.
    void KeepParentDisabledOnCancel() { m_keepParentDisabledOnCancel = true; }

    // The bar position for `current` units of `total`.
    static int PositionFor(std::int64_t current, std::int64_t total);

protected:
    void DoDataExchange(bool save) override;
    bool OnInitDialog() override;
    void OnCancel() override;
    void OnDestroy() override;
    void PostNcDestroy() override;

private:
    ~CProgressDlg() override = default;
    void EnableParent();

    QProgressBar* m_progress = nullptr;
    std::string m_strStatus;
    std::int64_t m_nTotal;
    std::int32_t m_nPosition = 0;
    std::int32_t* m_pStopFlag;
    bool m_keepParentDisabledOnCancel = false;
    bool m_cancelledByUser = false;
    QWidget* m_pParent;
    CProgressDlg** m_ppDialog;
};
