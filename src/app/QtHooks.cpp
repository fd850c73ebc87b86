#include "app/QtHooks.h"

#include <QApplication>
#include <QCursor>

#include "app/UserDialogs.h"
#include "common/UiHooks.h"

void ProcessWaitingEvents()
{
    if (QCoreApplication::closingDown())
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QtHooks::QtHooks(UserDialogs& dialogs)
{
    SetMessagePump(&ProcessWaitingEvents);
    SetWaitCursorHooks([] { QApplication::setOverrideCursor(Qt::WaitCursor); },
                       [] { QApplication::restoreOverrideCursor(); });
    SetErrorReporter([&dialogs](const std::string& caption, const std::string& text) {
        dialogs.ShowCaptionedMessage(QApplication::activeWindow(), caption, text);
    });
}

QtHooks::~QtHooks()
{
    SetMessagePump(nullptr);
    SetWaitCursorHooks(nullptr, nullptr);
    SetErrorReporter(nullptr);
}
