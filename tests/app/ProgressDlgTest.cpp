// The progress dialog: bar arithmetic, the disabled parent, and the ways its
// window goes away (Cancel, Escape, the close box, the program, the end of the
// run that owns it), each raising the stop flag and leaving no window behind.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <memory>
#include <ostream>

#include "AppTestSupport.h"
#include "app/CProgressDlg.h"
#include "app/ResourceModule.h"
#include "app/ResourceSource.h"

namespace {

struct PositionCase {
    std::int64_t current;
    std::int64_t total;
    int expected;
};

// ctest lists a case by its numbers ("1Of4"), not by the bytes of its parameter.
void PrintTo(const PositionCase& c, std::ostream* os)
{
    *os << c.current << "Of" << c.total;
}

class ProgressPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ProgressPosition, IsCurrentOverTotalOn200)
{
    const auto& c = GetParam();
    EXPECT_EQ(CProgressDlg::PositionFor(c.current, c.total), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgressPosition,
                         ::testing::Values(PositionCase{1, 4, 50}, PositionCase{2, 4, 100},
                                           PositionCase{3, 4, 150}, PositionCase{4, 4, 200},
                                           PositionCase{1, 3, 66}, PositionCase{0, 0, 0},
                                           PositionCase{5, 0, 0},
                                           // 64-bit arithmetic: no overflow for large counts
                                           PositionCase{3'000'000'000LL, 6'000'000'000LL, 100}),
                         [](const auto& info) { return ::testing::PrintToString(info.param); });

class ProgressDialog : public apptest::WindowTest {
protected:
    void SetUp() override
    {
        parent = std::make_unique<QDialog>();
        parent->setGeometry(100, 100, 600, 400);
        parent->show();
    }
    void TearDown() override
    {
        dialog.reset();
        parent.reset();
        apptest::WindowTest::TearDown();
    }
    void Make(bool withStopFlag = true)
    {
        dialog = std::make_unique<CProgressDlg>(4, withStopFlag ? &stop : nullptr, 2309, resources, parent.get());
        dialog->ShowWindow();
    }
    // The progress window is gone, its owner still holds the dialog, and only
    // the parent is left on the screen.
    void ExpectWindowGone()
    {
        ASSERT_NE(dialog, nullptr);
        EXPECT_FALSE(dialog->IsWindowShown());
        EXPECT_EQ(dialog->Window(), nullptr);
        EXPECT_EQ(uitest::TopLevelWidgetCount(), 1);
    }

    ResourceModule own = ResourceModule::Own("/opt/tolvane/tolvane");
    ResourceSource resources{own};
    std::unique_ptr<QDialog> parent;
    // Declared after the flag it raises when it goes, as a run declares them.
    std::int32_t stop = 0;
    std::unique_ptr<CProgressDlg> dialog;
};

TEST_F(ProgressDialog, ShowsItsTextAndDisablesTheParent)
{
    Make();
    ASSERT_TRUE(dialog->Window());
    EXPECT_TRUE(dialog->Window()->isVisible());
    EXPECT_EQ(dialog->Window()->windowTitle(), "Processing");
    EXPECT_EQ(dialog->Item<QLabel>(CProgressDlg::kStatusText)->text(), "Creating Report");
    EXPECT_EQ(dialog->Item<QProgressBar>(CProgressDlg::kProgressBar)->maximum(), 200);
    EXPECT_EQ(dialog->Item<QProgressBar>(CProgressDlg::kProgressBar)->value(), 0);
    EXPECT_FALSE(parent->isEnabled());
    // The dialog itself stays usable while its parent is disabled.
    EXPECT_TRUE(dialog->Window()->isEnabled());
    EXPECT_TRUE(dialog->Item<QPushButton>(CProgressDlg::kCancelButton)->isEnabled());
}

TEST_F(ProgressDialog, OpensCentredOverItsOwner)
{
    Make();
    const QPoint centre = dialog->Window()->frameGeometry().center();
    const QPoint ownerCentre = parent->frameGeometry().center();
    EXPECT_LE((centre - ownerCentre).manhattanLength(), 2);
}

TEST_F(ProgressDialog, BarStandsAt50_100_150_200ForFourPairs)
{
    Make();
    std::vector<int> positions;
    for (int n = 1; n <= 4; ++n) {
        dialog->SetProgress(n);
        positions.push_back(dialog->Item<QProgressBar>(CProgressDlg::kProgressBar)->value());
    }
    EXPECT_EQ(positions, (std::vector<int>{50, 100, 150, 200}));
}

TEST_F(ProgressDialog, CancelRaisesTheFlagAndEnablesTheParent)
{
    Make();
    dialog->Item<QPushButton>(CProgressDlg::kCancelButton)->click();
    ExpectWindowGone();
    EXPECT_EQ(stop, 1);
    EXPECT_TRUE(parent->isEnabled());
}

TEST_F(ProgressDialog, EscapeAndCloseBoxCancelToo)
{
    Make();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog->Window(), &escape);
    ExpectWindowGone();
    EXPECT_EQ(stop, 1);

    stop = 0;
    Make();
    dialog->Window()->close();
    ExpectWindowGone();
    EXPECT_EQ(stop, 1);
    EXPECT_TRUE(parent->isEnabled());
}

TEST_F(ProgressDialog, TheProgramsDestroyRaisesTheFlagAsWell)
{
    Make();
    dialog->DestroyWindow();
    ExpectWindowGone();
    EXPECT_EQ(stop, 1);
    EXPECT_TRUE(parent->isEnabled());
}

TEST_F(ProgressDialog, WithoutStopFlagOnlyTheProgramEndsIt)
{
    Make(false);
    EXPECT_FALSE(dialog->Item<QPushButton>(CProgressDlg::kCancelButton)->isEnabled());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(dialog->Window(), &escape);
    dialog->Window()->close();
    ASSERT_TRUE(dialog->IsWindowShown());
    EXPECT_TRUE(dialog->Window()->isVisible());
    EXPECT_FALSE(parent->isEnabled());
    dialog->DestroyWindow();
    ExpectWindowGone();
    EXPECT_EQ(stop, 0);
    EXPECT_TRUE(parent->isEnabled());
}

TEST_F(ProgressDialog, ACancelPressedWhilePumpingIsSeenAtOnce)
{
    Make();
    // A click waiting in the queue is delivered by SetProgress's pumping.
    QPushButton* cancel = dialog->Item<QPushButton>(CProgressDlg::kCancelButton);
    QMetaObject::invokeMethod(cancel, "click", Qt::QueuedConnection);
    dialog->SetProgress(3);
    ExpectWindowGone();
    EXPECT_EQ(stop, 1);
}

TEST_F(ProgressDialog, TheEndOfTheRunTakesTheWindowAway)
{
    Make();
    dialog->SetProgress(2);
    dialog.reset();
    EXPECT_EQ(stop, 1);
    EXPECT_TRUE(parent->isEnabled());
    EXPECT_EQ(uitest::TopLevelWidgetCount(), 1);
}

TEST_F(ProgressDialog, ACancelThatKeepsTheParentDisabledLeavesItToTheEndOfTheRun)
{
    Make();
    dialog->KeepParentDisabledOnCancel();
    dialog->Item<QPushButton>(CProgressDlg::kCancelButton)->click();
    ExpectWindowGone();
    EXPECT_EQ(stop, 1);
    EXPECT_FALSE(parent->isEnabled());
    // The run finishes its step and still reports progress to the gone window.
    dialog->SetProgress(3);
    EXPECT_EQ(dialog->Position(), 0);
    // Enabling the parent is the run's own last step, not the dialog's.
    dialog.reset();
    EXPECT_FALSE(parent->isEnabled());
}

} // namespace
