#include "app/QtHooks.h"

#include <QApplication>
#include <QCursor>

#include "common/UiHooks.h"

void ProcessWaitingEvents()
{
    if (QCoreApplication::closingDown())
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QtHooks::QtHooks()
{
    SetMessagePump(&ProcessWaitingEvents);
    SetWaitCursorHooks([] { QApplication::setOverrideCursor(Qt::WaitCursor); },
                       [] { QApplication::restoreOverrideCursor(); });
}

QtHooks::~QtHooks()
{
    SetMessagePump(nullptr);
    SetWaitCursorHooks(nullptr, nullptr);
}
