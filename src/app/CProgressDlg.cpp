#include "app/CProgressDlg.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "common/ResourceStrings.h"
#include "common/UiHooks.h"

CProgressDlg::CProgressDlg(std::int64_t total, std::int32_t* stopFlag, int textId, const DialogResources& resources,
                           QWidget* parent)
    : TemplateDialog(IDD, resources, parent),
      m_strStatus(LoadResourceString(textId)),
      m_nTotal(total),
      m_pStopFlag(stopFlag)
{
    Create();
    if (QWidget* owner = Parent()) {
        owner->setEnabled(false);
        // Qt disables a parent's child windows with it; this one must stay usable.
        if (QDialog* window = Window())
            window->setEnabled(true);
    }
}

CProgressDlg::~CProgressDlg()
{
    // The base class would only dispose of the window; the parent must be
    // enabled again as well.
    DestroyWindow();
}

int CProgressDlg::PositionFor(std::int64_t current, std::int64_t total)
{
    if (total == 0)
        return 0;
    return static_cast<int>(current * kRange / total);
}

void CProgressDlg::DoDataExchange(bool save)
{
    m_progress = Item<QProgressBar>(kProgressBar);
    if (!save) {
        if (auto* text = Item<QLabel>(kStatusText))
            text->setText(QString::fromStdString(m_strStatus));
    }
}

bool CProgressDlg::OnInitDialog()
{
    TemplateDialog::OnInitDialog();
    if (m_progress) {
        m_progress->setRange(0, kRange);
        m_progress->setValue(0);
    }
    if (!m_pStopFlag) {
        if (auto* cancel = Item<QPushButton>(kCancelButton))
            cancel->setEnabled(false);
    }
    return true;
}

void CProgressDlg::ShowWindow()
{
    QDialog* window = Window();
    if (!window)
        return;
    if (QWidget* owner = Parent()) {
        const QPoint ownerCentre = owner->window()->frameGeometry().center();
        window->move(ownerCentre - window->rect().center());
        window->show();
        // The frame is known once the window is shown.
        window->move(window->pos() + ownerCentre - window->frameGeometry().center());
    } else {
        window->show();
    }
}

void CProgressDlg::SetProgress(std::int64_t current)
{
    if (!IsWindowShown())
        return;
    m_nPosition = PositionFor(current, m_nTotal);
    if (m_progress)
        m_progress->setValue(m_nPosition);
    PumpWaitingMessages();
}

void CProgressDlg::OnCancel()
{
    // Without a stop flag only the program may end the dialog.
    if (!m_pStopFlag)
        return;
    m_cancelledByUser = true;
    DestroyWindow();
}

void CProgressDlg::EnableParent()
{
    if (QWidget* owner = Parent())
        owner->setEnabled(true);
}

void CProgressDlg::OnDestroy()
{
    m_progress = nullptr;
    if (!(m_cancelledByUser && m_keepParentDisabledOnCancel))
        EnableParent();
    if (m_pStopFlag)
        *m_pStopFlag = 1;
}
