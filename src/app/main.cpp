// Tolvane and Merge: the application object runs the main dialog and the
// program ends when it closes.
#include <QApplication>

#include <iostream>

#include "app/CCompareApp.h"
#include "app/DialogConnectPrompt.h"
#include "app/QtHooks.h"
#include "app/QtUserDialogs.h"
#include "app/SelfCheck.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // Desktops match the program's windows to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.orvenne.Tolvane"));
    if (qEnvironmentVariableIsSet(kSelfCheckVariable))
        return RunSelfCheck(std::cout);
    QtUserDialogs dialogs;
    QtHooks hooks;
    CCompareApp app(dialogs);
    DialogConnectPrompt prompt(app.Resources());
    app.SetConnectPrompt(&prompt);
    app.InitInstance();
    return 0;
}
