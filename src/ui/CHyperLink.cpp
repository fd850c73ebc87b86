#include "ui/CHyperLink.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include "ui/DialogResources.h"
#include "ui/LinkShell.h"
#include "ui/LinkShortcut.h"

CHyperLink::CHyperLink(const DialogResources& resources, LinkShell& shell) : m_resources(resources), m_shell(shell)
{
}

CHyperLink::~CHyperLink()
{
    if (m_edit)
        m_edit->removeEventFilter(this);
}

void CHyperLink::SubclassEdit(QLineEdit* edit)
{
    if (m_edit)
        m_edit->removeEventFilter(this);
    m_edit = edit;
    m_nState = kNotOpened;
    m_nOldState = kNotOpened;
    if (!edit)
        return;
    // Mouse moves without a button pressed tell when the pointer is over the link.
    edit->setMouseTracking(true);
    edit->installEventFilter(this);
}

void CHyperLink::SetLink(const std::string& target, const std::string& text, bool fitToText)
{
    m_bFitToText = fitToText ? 1 : 0;
    m_strTarget = target;
    SetText(text);
}

void CHyperLink::SetText(const std::string& text)
{
    m_strText = text;
    if (!m_hLinkCursor)
        m_hLinkCursor = m_resources.LoadCursor(kHandCursor).value_or(QCursor(Qt::PointingHandCursor));
    if (!m_edit)
        return;
    if (auto* edit = Edit())
        edit->setText(QString::fromStdString(text));
    if (m_bFitToText)
        FitToText();
    UpdateCursor();
}

void CHyperLink::FitToText()
{
    const int width = m_edit->fontMetrics().horizontalAdvance(QString::fromStdString(m_strText));
    const QRect rect = m_edit->geometry();  // in the parent's coordinates
    if (rect.width() != width)
        m_edit->setGeometry(rect.x(), rect.y(), width, rect.height());
}

QColor CHyperLink::StateColour() const
{
    switch (m_nState) {
    case kOpened: return m_crOpenedColour;
    case kHover: return m_crHoverColour;
    default: return m_crLinkColour;
    }
}

void CHyperLink::UpdateCursor()
{
    if (!m_edit)
        return;
    if (m_bMenuOpen || !m_hLinkCursor)
        m_edit->setCursor(Qt::ArrowCursor);
    else
        m_edit->setCursor(*m_hLinkCursor);
}

void CHyperLink::EnterHover()
{
    if (m_nState == kHover)
        return;
    m_nOldState = m_nState;
    m_nState = kHover;
    if (m_edit)
        m_edit->update();
}

void CHyperLink::LeaveHover()
{
    if (m_nState != kHover)
        return;
    m_nState = m_nOldState;
    if (m_edit)
        m_edit->update();
}

bool CHyperLink::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_edit)
        return false;
    switch (event->type()) {
    case QEvent::Paint:
        Paint();
        return true;
    case QEvent::MouseMove: {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (m_edit->rect().contains(move->position().toPoint()))
            EnterHover();
        else
            LeaveHover();
        return true;
    }
    case QEvent::Leave:
        LeaveHover();
        return false;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        m_edit->update();
        return false;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            // The open runs once the press is handled, as a command the link
            // sends itself.
            QMetaObject::invokeMethod(this, [this] { OnCommand(kOpenCommand); }, Qt::QueuedConnection);
        }
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return true;  // no selecting in a link
    case QEvent::ContextMenu:
        ShowContextMenu(*static_cast<QContextMenuEvent*>(event));
        return true;
    default:
        return false;
    }
}

void CHyperLink::Paint()
{
    QPainter painter(m_edit);
    painter.fillRect(m_edit->rect(), m_edit->palette().color(QPalette::Button));
    QFont font = m_edit->font();
    font.setUnderline(true);
    painter.setFont(font);
    painter.setPen(StateColour());
    painter.drawText(m_edit->rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     QString::fromStdString(m_strText));
    // Tab reaches the link: the platform's focus frame shows where the focus went.
    if (m_edit->hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(m_edit);
        option.backgroundColor = m_edit->palette().color(QPalette::Button);
        m_edit->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, m_edit);
    }
}

void CHyperLink::ShowContextMenu(const QContextMenuEvent& event)
{
    LeaveHover();
    const auto menuTemplate = m_resources.LoadMenuTemplate(kContextMenu);
    if (!menuTemplate)
        return;
    const QPoint position = event.reason() == QContextMenuEvent::Keyboard
                                ? m_edit->mapToGlobal(QPoint(kKeyboardMenuOffset, kKeyboardMenuOffset))
                                : event.globalPos();
    QMenu menu(m_edit);
    for (const MenuItemTemplate& item : menuTemplate->items)
        menu.addAction(QString::fromStdString(item.text))->setData(item.id);
    m_bMenuOpen = 1;
    UpdateCursor();
    QPointer<CHyperLink> self(this);
    const QAction* chosen = menu.exec(position);
    if (!self)
        return;
    m_bMenuOpen = 0;
    UpdateCursor();
    if (chosen)
        OnCommand(chosen->data().toInt());
}

void CHyperLink::OnCommand(int id)
{
    switch (id) {
    case kOpenCommand:
        OnOpen();
        break;
    case kCopyShortcutCommand:
        OnCopyShortcut();
        break;
    case kAddToFavoritesCommand:
        SaveShortcut(m_shell.FavoritesFolder());
        break;
    case kAddToDesktopCommand:
        SaveShortcut(m_shell.DesktopFolder());
        break;
    default:
        break;
    }
}

void CHyperLink::OnOpen()
{
    QWidget* owner = m_edit ? m_edit->parentWidget() : nullptr;
    if (!m_shell.Open(m_strTarget, owner))
        return;  // the link stays as it was; nothing is reported
    // While the pointer is over the link, the opened state is the one the hover
    // returns to.
    if (m_nState == kHover)
        m_nOldState = kOpened;
    else
        m_nState = kOpened;
    if (m_edit)
        m_edit->update();
}

void CHyperLink::OnCopyShortcut()
{
    if (QClipboard* clipboard = QApplication::clipboard())
        clipboard->setText(QString::fromStdString(m_strTarget));
}

void CHyperLink::SaveShortcut(const std::optional<std::string>& folder)
{
    if (folder)
        SaveLinkShortcut(*folder, m_strText, m_strTarget);
}
