#include "ui/TemplateWindow.h"

#include "ui/TemplateDialog.h"

TemplateWindow::TemplateWindow(TemplateDialog* owner, QWidget* parent) : QDialog(parent), m_owner(owner)
{
}

void TemplateWindow::Dispatch(int id)
{
    if (!m_owner)
        return;
    ++m_handlerDepth;
    m_owner->Dispatch(id);  // may take the window away, detaching it
    --m_handlerDepth;
}

void TemplateWindow::reject()
{
    // Escape and the close box are the Cancel command.
    if (m_owner)
        Dispatch(TemplateDialog::IDCANCEL);
    else
        QDialog::reject();
}
