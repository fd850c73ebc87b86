#include "ui/CResizableDlg.h"

#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <cstdio>

#include "common/SettingsValues.h"

namespace {

// The width of a thin window border: where an anchored control would leave the
// window, it stops this far inside.
constexpr int kBorder = 1;

} // namespace

// Watches the window for the events the placement and the anchors need.
class ResizableDlgEvents : public QObject {
public:
    ResizableDlgEvents(CResizableDlg& dialog, QObject* parent) : QObject(parent), m_dialog(dialog) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = qobject_cast<QWidget*>(watched);
        if (!window)
            return false;
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Move:
            if (!window->isMinimized() && window->isVisible())
                m_dialog.m_normalRect = window->geometry();
            if (event->type() == QEvent::Resize)
                m_dialog.OnSize();
            break;
        case QEvent::WindowStateChange: {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if (window->isMinimized() && !(change->oldState() & Qt::WindowMinimized))
                m_dialog.OnMinimize();
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    CResizableDlg& m_dialog;
};

CResizableDlg::CResizableDlg(int dialogId, const DialogResources& resources, SettingsValues& settings,
                             QWidget* parent)
    : TemplateDialog(dialogId, resources, parent), m_settings(settings)
{
}

CResizableDlg::~CResizableDlg()
{
    // A modeless window that is still there goes with the object.
    if (Window())
        OnDestroy();
}

std::string CResizableDlg::GetPlacementSection() const
{
    char section[16];
    std::snprintf(section, sizeof section, "%x", static_cast<unsigned>(TemplateId()));
    return section;
}

void CResizableDlg::AddAnchor(int controlId, std::uint32_t flags, QWidget* widget)
{
    if (flags == 0)
        return;
    m_anchors.push_back({widget, controlId, flags});
    if (Window() && m_anchors.size() == 1)
        OnSize();
}

bool CResizableDlg::OnInitDialog()
{
    const bool result = TemplateDialog::OnInitDialog();
    QDialog* window = Window();
    if (!window)
        return result;

    // The designed size is the smallest the window may get; a design larger
    // than the screen is cut to it.
    QSize creation = window->size();
    if (const QScreen* screen = window->screen()) {
        const QSize desktop = screen->geometry().size();
        if (creation.width() > desktop.width())
            creation.setWidth(desktop.width() - 2);
        if (creation.height() > desktop.height())
            creation.setHeight(desktop.height() - 2);
    }
    m_nCreationWidth = creation.width();
    m_nCreationHeight = creation.height();
    window->setMinimumSize(creation);

    auto* events = new ResizableDlgEvents(*this, window);
    window->installEventFilter(events);
    m_events = events;

    // The window's first size, as it was created.
    OnSize();
    RestorePlacement();
    m_normalRect = window->geometry();
    return result;
}

void CResizableDlg::RestorePlacement()
{
    QDialog* window = Window();
    const std::string section = GetPlacementSection();
    const int top = m_settings.ReadInt(section, "top", 0);
    const int left = m_settings.ReadInt(section, "left", 0);
    const int right = m_settings.ReadInt(section, "right", 0);
    const int bottom = m_settings.ReadInt(section, "bottom", 0);
    // Nothing stored: the window stays where Qt puts it (over its parent).
    if (right - left <= 0 || bottom - top <= 0)
        return;
    QRect rect(left, top, right - left, bottom - top);
    const QSize current = window->size();
    if (rect.width() < current.width())
        rect.setWidth(current.width());
    if (rect.height() < current.height())
        rect.setHeight(current.height());
    // The stored rectangle is taken as it is, also where no screen shows it.
    window->setGeometry(rect);
    if (m_anchors.empty()) {
        m_nLastWidth = window->width();
        m_nLastHeight = window->height();
    } else {
        OnSize();
    }
}

void CResizableDlg::OnSize()
{
    QDialog* window = Window();
    if (!window || window->isMinimized())
        return;
    const int width = window->width();
    const int height = window->height();
    const int dx = width - m_nLastWidth;
    const int dy = height - m_nLastHeight;
    if (m_anchors.empty())
        return;
    if (m_nLastWidth != 0 && (dx != 0 || dy != 0)) {
        const QRect client = window->rect();
        for (const Anchor& anchor : m_anchors) {
            QWidget* control = anchor.controlId != 0 ? GetDlgItem(anchor.controlId) : anchor.widget.data();
            if (!control)
                continue;
            QRect rect = control->geometry();
            if (anchor.flags & kGrowWidth)
                rect.setRight(rect.right() + dx);
            else if (anchor.flags & kMoveRight)
                rect.translate(dx, 0);
            if (anchor.flags & kGrowHeight)
                rect.setBottom(rect.bottom() + dy);
            else if (anchor.flags & kMoveDown)
                rect.translate(0, dy);
            if (rect.left() < 0)
                rect.setLeft(kBorder);
            if (rect.top() < 0)
                rect.setTop(kBorder);
            // QRect's right and bottom are the last pixel inside.
            if (rect.right() + 1 > client.width())
                rect.setRight(client.width() - kBorder - 1);
            if (rect.bottom() + 1 > client.height())
                rect.setBottom(client.height() - kBorder - 1);
            control->setGeometry(rect);
            control->update();
        }
        window->update();
    }
    m_nLastWidth = width;
    m_nLastHeight = height;
}

void CResizableDlg::OnMinimize()
{
    // The rectangle from before, so that a dialog closed while minimised opens
    // again where it was.
    if (m_normalRect.isValid())
        SavePlacement(m_normalRect);
}

void CResizableDlg::SavePlacement(const QRect& rect)
{
    const std::string section = GetPlacementSection();
    m_settings.WriteInt(section, "top", rect.top());
    m_settings.WriteInt(section, "left", rect.left());
    m_settings.WriteInt(section, "right", rect.left() + rect.width());
    m_settings.WriteInt(section, "bottom", rect.top() + rect.height());
}

void CResizableDlg::OnDestroy()
{
    QDialog* window = Window();
    if (window && !window->isMinimized())
        SavePlacement(window->geometry());
    ForgetWindow();
    TemplateDialog::OnDestroy();
}

void CResizableDlg::ForgetWindow()
{
    if (m_events) {
        if (QDialog* window = Window())
            window->removeEventFilter(m_events);
        delete m_events.data();
    }
    m_nCreationWidth = m_nCreationHeight = 0;
    m_nLastWidth = m_nLastHeight = 0;
}
