#pragma once
// The modeless "Processing" dialog of a compare run or a merge execution: a
// text and a bar from 0 to 200. While its window is up its parent is disabled.
// The run that shows it owns it: Cancel, Escape and the close box (when the run
// gave a stop flag) only take the window away; the object stays with the run,
// which destroys it when it ends. However the window goes, it raises the stop
// flag, so the run sees a Cancel before its next step.
#include <cstdint>
#include <string>

#include <QPointer>

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

    // Creates the window (not shown yet) and disables `parent`. `stopFlag`, when
    // given, must outlive this object.
    CProgressDlg(std::int64_t total, std::int32_t* stopFlag, int textId, const DialogResources& resources,
                 QWidget* parent);
    // Takes the window away if it is still there.
    ~CProgressDlg() override;

    // Shows the window centred over its parent.
    void ShowWindow();
    // Moves the bar to current / total of its range, then lets waiting events
    // run. Nothing once the window is gone.
    void SetProgress(std::int64_t current);
    int Position() const { return m_nPosition; }
    const std::string& StatusText() const { return m_strStatus; }
    // False once the user or the program took the window away.
    bool IsWindowShown() const { return Window() != nullptr; }

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

private:
    void EnableParent();

    // Goes with the window, which may be deleted before this object.
    QPointer<QProgressBar> m_progress;
    std::string m_strStatus;
    std::int64_t m_nTotal;
    std::int32_t m_nPosition = 0;
    std::int32_t* m_pStopFlag;
    bool m_keepParentDisabledOnCancel = false;
    bool m_cancelledByUser = false;
};
