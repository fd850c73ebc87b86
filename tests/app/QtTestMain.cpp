// The application tests run inside a QApplication (offscreen), with their own
// data sources.
#include <QApplication>

#include <gtest/gtest.h>

#include "AppTestSupport.h"
#include "app/QtHooks.h"
#include "common/UiHooks.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    apptest::SetUpPrivateDataSources();
    // Test discovery runs the executable without the test's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // Every pumping point really pumps, so a Cancel is seen where it is pressed.
    SetPumpInterval(0);
    // The program's own binding of the core's hooks.
    QtHooks hooks;
    return RUN_ALL_TESTS();
}
