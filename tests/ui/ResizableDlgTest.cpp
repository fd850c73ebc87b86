// The resizable dialog base: anchored controls follow a resize, the window
// never gets smaller than designed, and its rectangle is kept in the settings
// from one opening to the next (also when it was closed while minimised).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

#include "UiTestSupport.h"
#include "app/SettingsStore.h"
#include "ui/CResizableDlg.h"
#include "ui/DialogResources.h"

namespace {

// Laid out like a preview: a list over three buttons in the lower-right corner.
const char* kTemplate = R"({
  "id": 145, "caption": "Resizable", "size": [254, 168], "styles": ["caption", "sysmenu", "thickframe"],
  "controls": [
    { "id": 1006, "kind": "listview", "text": "", "rect": [3, 3, 248, 142] },
    { "id": 1026, "kind": "button", "text": "&Delete", "rect": [3, 150, 76, 14] },
    { "id": 1, "kind": "button", "text": "OK", "rect": [89, 150, 76, 14], "styles": ["default"] },
    { "id": 2, "kind": "button", "text": "Cancel", "rect": [175, 150, 76, 14] }
  ]
})";

class ResizableTemplate : public DialogResources {
public:
    std::optional<DialogTemplate> LoadDialogTemplate(int) const override { return ParseDialogTemplate(kTemplate); }
    QIcon LoadIcon(int) const override { return {}; }
};

class AnchoredDialog : public CResizableDlg {
public:
    static constexpr int kList = 1006;
    static constexpr int kDeleteButton = 1026;

    AnchoredDialog(const DialogResources& resources, SettingsValues& settings, int id = 145)
        : CResizableDlg(id, resources, settings)
    {
        AddAnchor(IDOK, kMoveRight | kMoveDown);
        AddAnchor(IDCANCEL, kMoveRight | kMoveDown);
        AddAnchor(kDeleteButton, kMoveRight | kMoveDown);
        AddAnchor(kList, kGrowWidth | kGrowHeight);
        AddAnchor(77, 0);  // no flags: not registered
    }
};

// The geometries of the four controls.
struct Layout {
    QRect list, deleteButton, ok, cancel;
    static Layout Of(const TemplateDialog& dialog)
    {
        return {dialog.GetDlgItem(AnchoredDialog::kList)->geometry(),
                dialog.GetDlgItem(AnchoredDialog::kDeleteButton)->geometry(),
                dialog.GetDlgItem(TemplateDialog::IDOK)->geometry(),
                dialog.GetDlgItem(TemplateDialog::IDCANCEL)->geometry()};
    }
};

QRect Stored(const SettingsValues& settings, const std::string& section)
{
    const int left = settings.ReadInt(section, "left", 0);
    const int top = settings.ReadInt(section, "top", 0);
    return QRect(left, top, settings.ReadInt(section, "right", 0) - left,
                 settings.ReadInt(section, "bottom", 0) - top);
}

void Resize(QWidget* window, QSize size)
{
    window->resize(size);
    QCoreApplication::processEvents();
}

class ResizableDialog : public uitest::WindowTest {
protected:
    uitest::IsolatedSettings isolated;
    SettingsStore settings{"Orvenne Software Inc.", "Tolvane and Merge"};
    ResizableTemplate resources;
};

} // namespace

TEST_F(ResizableDialog, AnchoredControlsFollowTheLowerRightCornerAndTheRectangleIsKept)
{
    Layout designed, enlarged, reopened;
    QSize designedSize;
    QRect closedAt;
    {
        AnchoredDialog dialog(resources, settings);
        uitest::Later([&] {
            QDialog* window = dialog.Window();
            designedSize = window->size();
            designed = Layout::Of(dialog);
            Resize(window, designedSize + QSize(100, 50));
            enlarged = Layout::Of(dialog);
            closedAt = window->geometry();
            dialog.EndDialog(TemplateDialog::IDOK);
        });
        ASSERT_EQ(dialog.DoModal(), TemplateDialog::IDOK);
    }
    EXPECT_EQ(enlarged.list, designed.list.adjusted(0, 0, 100, 50));
    EXPECT_EQ(enlarged.deleteButton, designed.deleteButton.translated(100, 50));
    EXPECT_EQ(enlarged.ok, designed.ok.translated(100, 50));
    EXPECT_EQ(enlarged.cancel, designed.cancel.translated(100, 50));
    EXPECT_EQ(Stored(settings, "91"), closedAt);

    QRect reopenedAt;
    AnchoredDialog again(resources, settings);
    uitest::Later([&] {
        reopenedAt = again.Window()->geometry();
        reopened = Layout::Of(again);
        again.EndDialog(TemplateDialog::IDCANCEL);
    });
    again.DoModal();
    EXPECT_EQ(reopenedAt.size(), designedSize + QSize(100, 50));
    EXPECT_EQ(reopenedAt, closedAt);
    EXPECT_EQ(reopened.list, enlarged.list);
    EXPECT_EQ(reopened.ok, enlarged.ok);
    EXPECT_EQ(reopened.cancel, enlarged.cancel);
    EXPECT_EQ(reopened.deleteButton, enlarged.deleteButton);
}

TEST_F(ResizableDialog, NeverGetsSmallerThanDesigned)
{
    // A stored rectangle smaller than the design is widened to it, and the user
    // cannot make the window smaller either.
    settings.WriteInt("91", "left", 10);
    settings.WriteInt("91", "top", 20);
    settings.WriteInt("91", "right", 30);
    settings.WriteInt("91", "bottom", 40);
    AnchoredDialog dialog(resources, settings);
    QSize designed, opened, shrunk;
    Layout designedLayout, shrunkLayout;
    uitest::Later([&] {
        QDialog* window = dialog.Window();
        designed = window->minimumSize();
        opened = window->size();
        designedLayout = Layout::Of(dialog);
        Resize(window, QSize(50, 40));
        shrunk = window->size();
        shrunkLayout = Layout::Of(dialog);
        dialog.EndDialog(TemplateDialog::IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_GT(designed.width(), 300);
    EXPECT_EQ(opened, designed);
    EXPECT_EQ(shrunk, designed);
    EXPECT_EQ(shrunkLayout.list, designedLayout.list);
    EXPECT_EQ(Stored(settings, "91").size(), designed);
}

TEST_F(ResizableDialog, ClosedWhileMinimisedKeepsThePlacementFromBefore)
{
    AnchoredDialog dialog(resources, settings);
    QRect beforeMinimising;
    bool minimised = false;
    uitest::Later([&] {
        QDialog* window = dialog.Window();
        Resize(window, window->size() + QSize(40, 30));
        beforeMinimising = window->geometry();
        window->showMinimized();
        QCoreApplication::processEvents();
        minimised = window->isMinimized();
        // Stored as the window went down.
        EXPECT_EQ(Stored(settings, "91"), beforeMinimising);
        settings.WriteInt("91", "right", 0);  // a write at closing would show
        dialog.EndDialog(TemplateDialog::IDCANCEL);
    });
    dialog.DoModal();
    ASSERT_TRUE(minimised);
    EXPECT_EQ(settings.ReadInt("91", "right", -1), 0);
}

TEST_F(ResizableDialog, APlacementSectionIsTheDialogIdInLowercaseHex)
{
    const std::vector<std::pair<int, std::string>> cases{{145, "91"}, {9, "9"}, {1540, "604"}, {43981, "abcd"}};
    for (const auto& [id, section] : cases)
        EXPECT_EQ(AnchoredDialog(resources, settings, id).GetPlacementSection(), section) << id;
}
