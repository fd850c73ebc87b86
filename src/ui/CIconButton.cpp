#include "ui/CIconButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "ui/DialogResources.h"

namespace {
constexpr int kShadow = 4;
} // namespace

CIconButton::CIconButton(const DialogResources& resources) : m_resources(resources)
{
}

CIconButton::~CIconButton()
{
    if (m_button)
        m_button->removeEventFilter(this);
}

void CIconButton::SubclassButton(QAbstractButton* button)
{
    if (m_button)
        m_button->removeEventFilter(this);
    m_button = button;
    if (button)
        button->installEventFilter(this);
}

QSize CIconButton::StandardIconSize()
{
    const int size = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    return QSize(size, size);
}

QSize CIconButton::FittingSize()
{
    const QSize icon = StandardIconSize();
    return QSize(2 * icon.width() + kBorder, 2 * icon.height() + kBorder);
}

bool CIconButton::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_button && event->type() == QEvent::Paint) {
        // Nothing of the button's own face: the background stays the dialog's.
        Paint();
        return true;
    }
    return false;
}

void CIconButton::Paint()
{
    const QIcon icon = m_resources.LoadIcon(kApplicationIcon);
    if (icon.isNull())
        return;
    const QSize iconSize = StandardIconSize();
    // The icon as it is, also on the disabled button: it is a picture, not a command.
    const QPixmap pixmap = icon.pixmap(iconSize, 1.0, QIcon::Normal);
    if (pixmap.isNull())
        return;
    const int w = m_button->width();
    const int h = m_button->height();
    QPainter painter(m_button);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, w - kShadow - 1, h - kShadow - 1);
    painter.fillRect(QRect(QPoint(w - kShadow, kShadow), QPoint(w - 1, h - 1)), Qt::darkGray);
    painter.fillRect(QRect(QPoint(kShadow, h - kShadow), QPoint(w - 1, h - 1)), Qt::darkGray);
    // Doubled pixel for pixel, as a big icon of the old kind looks.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(QRect(2, 2, w - kBorder, h - kBorder), pixmap);
}
