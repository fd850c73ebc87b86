#pragma once
// The Qt window of a TemplateDialog: forwards button clicks, Escape and the
// close box to its owner. A handler may take the window away (a modeless
// dialog's Cancel does), so it counts the handlers it is running: the owner
// then lets it be deleted once they are done.
#include <QDialog>

class TemplateDialog;

class TemplateWindow : public QDialog {
    Q_OBJECT
public:
    TemplateWindow(TemplateDialog* owner, QWidget* parent);

    // The owner lets go of the window; it no longer forwards anything.
    void Detach() { m_owner = nullptr; }
    // True while a handler of the owner runs for this window.
    bool InHandler() const { return m_handlerDepth > 0; }
    // Forwards a button click (or an equivalent key) to the owner.
    void Dispatch(int id);

public slots:
    void reject() override;

private:
    TemplateDialog* m_owner;
    int m_handlerDepth = 0;
};
