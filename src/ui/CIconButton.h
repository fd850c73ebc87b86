#pragma once
// A push button that shows the application icon at twice its size in a black
// frame with a drop shadow, over the dialog's own background. Like CHyperLink
// it takes over a button the dialog builder made, through an event filter.
#include <QObject>
#include <QAbstractButton>
#include <QPointer>
#include <QSize>

class DialogResources;
class QAbstractButton;

class CIconButton : public QObject {
public:
    static constexpr int kApplicationIcon = 128;
    // The frame and its shadow around the doubled icon, in pixels.
    static constexpr int kBorder = 8;

    explicit CIconButton(const DialogResources& resources);
    ~CIconButton() override;

    void SubclassButton(QAbstractButton* button);
    QAbstractButton* Button() const { return qobject_cast<QAbstractButton*>(m_button.data()); }

    // The system's standard icon size.
    static QSize StandardIconSize();
    // The button's size for the doubled icon: (2 x icon + 8) both ways.
    static QSize FittingSize();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Paint();

    const DialogResources& m_resources;
    // Held as a widget: while the button is destroyed it is no longer a
    // QAbstractButton, and its last events still pass the filter.
    QPointer<QWidget> m_button;
};
