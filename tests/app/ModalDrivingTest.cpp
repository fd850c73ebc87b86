// The modal-dialog driving of the application tests: a dialog the test's
// action leaves open fails the test and is closed, instead of holding the
// test in its modal loop until ctest gives up.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QDialog>

#include <chrono>
#include <memory>

#include "AppTestSupport.h"

namespace {

// A dialog that ignores Escape, Cancel and the close box.
class StubbornDialog : public QDialog {
public:
    void reject() override {}
};

class ModalDriving : public apptest::WindowTest {};

TEST_F(ModalDriving, ADialogTheActionLeavesOpenFailsTheTestAndIsClosed)
{
    auto dialog = std::make_unique<StubbornDialog>();
    dialog->setWindowTitle("Left open");
    int result = -1;
    EXPECT_NONFATAL_FAILURE(result = apptest::WhileModal([](QDialog* window) { window->reject(); },
                                                         [&] { return dialog->exec(); },
                                                         std::chrono::milliseconds(20)),
                            "\"Left open\" was still open");
    EXPECT_EQ(result, QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
