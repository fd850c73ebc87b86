#pragma once
// Base of the program's dialogs. The object lives independently of its window:
// the window is built from the dialog template when the dialog is shown
// (DoModal, or Create for a modeless one) and is gone again when it ends.
// Subclasses find their controls by id and exchange their values with members
// in DoDataExchange(save); id 1 runs OnOK, id 2, Escape and the close box run
// OnCancel, every other button runs OnCommand(id).
#include <cstdint>
#include <map>
#include <string>

#include <QPointer>
#include <QWidget>

class QDialog;
class QWidget;
class DialogResources;
class TemplateWindow;
struct DialogControlTemplate;

class TemplateDialog {
public:
    static constexpr int IDOK = 1;
    static constexpr int IDCANCEL = 2;

    TemplateDialog(int templateId, const DialogResources& resources, QWidget* parent = nullptr);
    virtual ~TemplateDialog();
    TemplateDialog(const TemplateDialog&) = delete;
    TemplateDialog& operator=(const TemplateDialog&) = delete;

    // Builds the window, initialises it and runs it modally; the window is
    // destroyed before this returns. -1 when the template is missing.
    int DoModal();
    // Builds and initialises a modeless window without showing it.
    bool Create();
    // Destroys the window (OnDestroy first); the object stays.
    virtual void DestroyWindow();
    // Ends the modal loop (or hides a modeless window) with `result`.
    void EndDialog(int result);
    // Runs the data exchange; true unless the dialog has no window.
    bool UpdateData(bool save = true);

    QDialog* Window() const;
    QWidget* GetDlgItem(int id) const;
    template <class T>
    T* Item(int id) const { return qobject_cast<T*>(GetDlgItem(id)); }

    int TemplateId() const { return m_templateId; }
    QWidget* Parent() const { return m_parent; }
    void SetParent(QWidget* parent) { m_parent = parent; }
    const DialogResources& Resources() const { return m_resources; }

protected:
    virtual void DoDataExchange(bool save);
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void OnCommand(int id);
    // Makes the widget of a control that is more than the builder's own kind (a
    // list with behaviour of its own); nullptr leaves it to the builder.
    virtual QWidget* CreateControl(const DialogControlTemplate& control, QWidget* parent);
    // The window is about to go (also when a modal dialog ends).
    virtual void OnDestroy() {}

    // Exchange helpers: the text of an edit, the state of a check box (0 or 1).
    void DDX_Text(bool save, int id, std::string& value);
    void DDX_Check(bool save, int id, std::int32_t& value);

private:
    friend class TemplateWindow;
    bool BuildWindow();
    void Dispatch(int id);
    // Detaches, hides and deletes the window (later, when one of its handlers runs).
    void DisposeWindow();

    int m_templateId;
    const DialogResources& m_resources;
    QPointer<QWidget> m_parent;
    QPointer<TemplateWindow> m_window;
    std::map<int, QWidget*> m_controls;
};
