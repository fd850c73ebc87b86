#pragma once
// The Qt window of a TemplateDialog: forwards button clicks, Escape and the
// close box to its owner. It outlives a owner that deletes itself from inside
// one of its handlers, so it counts the handlers it is running.
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
