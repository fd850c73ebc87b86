#include "ui/TemplateDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "ui/DialogBuilder.h"
#include "ui/DialogResources.h"
#include "ui/TemplateWindow.h"

TemplateDialog::TemplateDialog(int templateId, const DialogResources& resources, QWidget* parent)
    : m_templateId(templateId), m_resources(resources), m_parent(parent)
{
}

TemplateDialog::~TemplateDialog()
{
    DisposeWindow();
}

void TemplateDialog::DisposeWindow()
{
    if (!m_window)
        return;
    TemplateWindow* window = m_window;
    window->Detach();
    window->hide();
    m_window = nullptr;
    m_controls.clear();
    // A window cannot be deleted while one of its own handlers runs.
    if (window->InHandler())
        window->deleteLater();
    else
        delete window;
}

bool TemplateDialog::BuildWindow()
{
    if (m_window)
        return true;
    const auto dialogTemplate = m_resources.LoadDialogTemplate(m_templateId);
    if (!dialogTemplate)
        return false;
    auto* window = new TemplateWindow(this, m_parent);
    m_controls = DialogBuilder::Build(*dialogTemplate, *window,
                                      [this](const DialogControlTemplate& control, QWidget* parent) {
                                          return CreateControl(control, parent);
                                      });
    for (const auto& [id, widget] : m_controls) {
        if (auto* button = qobject_cast<QPushButton*>(widget)) {
            const int buttonId = id;
            QObject::connect(button, &QPushButton::clicked, window,
                             [window, buttonId] { window->Dispatch(buttonId); });
        }
    }
    m_window = window;
    return true;
}

int TemplateDialog::DoModal()
{
    if (!BuildWindow())
        return -1;
    m_window->setModal(true);
    if (!OnInitDialog()) {
        DisposeWindow();
        return -1;
    }
    const int result = m_window->exec();
    if (m_window)
        OnDestroy();
    DisposeWindow();
    return result;
}

bool TemplateDialog::Create()
{
    if (!BuildWindow())
        return false;
    return OnInitDialog();
}

void TemplateDialog::DestroyWindow()
{
    if (!m_window)
        return;
    OnDestroy();
    DisposeWindow();
}

void TemplateDialog::EndDialog(int result)
{
    if (m_window)
        m_window->done(result);
}

bool TemplateDialog::UpdateData(bool save)
{
    if (!m_window)
        return false;
    DoDataExchange(save);
    return true;
}

QDialog* TemplateDialog::Window() const
{
    return m_window.data();
}

QWidget* TemplateDialog::GetDlgItem(int id) const
{
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

void TemplateDialog::DoDataExchange(bool)
{
}

QWidget* TemplateDialog::CreateControl(const DialogControlTemplate&, QWidget*)
{
    return nullptr;
}

bool TemplateDialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void TemplateDialog::OnOK()
{
    if (!UpdateData(true))
        return;
    EndDialog(IDOK);
}

void TemplateDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void TemplateDialog::OnCommand(int)
{
}

void TemplateDialog::Dispatch(int id)
{
    if (id == IDOK)
        OnOK();
    else if (id == IDCANCEL)
        OnCancel();
    else
        OnCommand(id);
}

void TemplateDialog::DDX_Text(bool save, int id, std::string& value)
{
    auto* edit = Item<QLineEdit>(id);
    if (!edit)
        return;
    if (save)
        value = edit->text().toStdString();
    else
        edit->setText(QString::fromStdString(value));
}

void TemplateDialog::DDX_Check(bool save, int id, std::int32_t& value)
{
    auto* box = Item<QCheckBox>(id);
    if (!box)
        return;
    if (save)
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}
