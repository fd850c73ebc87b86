// Tolvane and Merge: the application object runs the main dialog and the
// program ends when it closes.
#include <QApplication>

#include "app/CCompareApp.h"
#include "app/DialogConnectPrompt.h"
#include "app/QtHooks.h"
#include "app/QtUserDialogs.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QtUserDialogs dialogs;
    QtHooks hooks(dialogs);
    CCompareApp app(dialogs);
    DialogConnectPrompt prompt(app.Resources());
    app.SetConnectPrompt(&prompt);
    app.InitInstance();
    return 0;
}
