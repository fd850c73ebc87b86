#include "UiTestSupport.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <QWidget>

namespace uitest {

int TopLevelWidgetCount()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") || widget->inherits("QDesktopScreenWidget"))
            continue;
        ++count;
    }
    return count;
}

void Later(std::function<void()> action)
{
    QTimer::singleShot(0, std::move(action));
}

OwnResources::OwnResources() : m_own(ResourceModule::Own("/opt/tolvane/tolvane")), m_source(m_own)
{
}

IsolatedSettings::IsolatedSettings()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QString::fromStdString(m_dir.str()));
}

} // namespace uitest
