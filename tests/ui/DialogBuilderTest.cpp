// The template builder: controls at their converted positions, found by id,
// with their texts, styles and mnemonic buddies.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "UiTestSupport.h"
#include "ui/DialogBuilder.h"
#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

namespace {

const char* kTemplate = R"({
  "id": 7, "caption": "Sample", "size": [100, 60],
  "font": { "family": "MS Sans Serif", "pointSize": 8 },
  "styles": ["caption", "sysmenu"],
  "controls": [
    { "id": -1, "kind": "label", "text": "&Name:", "rect": [2, 4, 30, 8] },
    { "id": 10, "kind": "edit", "text": "start", "rect": [34, 2, 60, 14], "styles": ["autohscroll"] },
    { "id": 11, "kind": "edit", "text": "", "rect": [34, 18, 60, 14], "styles": ["password"] },
    { "id": 12, "kind": "checkbox", "text": "&Check", "rect": [2, 34, 50, 10] },
    { "id": 13, "kind": "listview", "text": "", "rect": [2, 2, 10, 10] },
    { "id": 14, "kind": "progress", "text": "", "rect": [2, 2, 10, 10] },
    { "id": 15, "kind": "label", "text": "Centred", "rect": [2, 2, 10, 10], "styles": ["center"] },
    { "id": 1, "kind": "button", "text": "OK", "rect": [10, 44, 40, 14], "styles": ["default", "disabled"] },
    { "id": 2, "kind": "button", "text": "Cancel", "rect": [54, 44, 40, 14] }
  ]
})";

// Builds dialogs on the stack: none may outlive its test.
class DialogBuilderTest : public uitest::WindowTest {};

} // namespace

TEST(DialogTemplate, ParsesTheJsonForm)
{
    std::string error;
    const auto parsed = ParseDialogTemplate(kTemplate, &error);
    ASSERT_TRUE(parsed) << error;
    EXPECT_EQ(parsed->id, 7);
    EXPECT_EQ(parsed->caption, "Sample");
    EXPECT_EQ(parsed->controls.size(), 9u);
    EXPECT_TRUE(parsed->FindControl(1)->HasStyle("default"));
    EXPECT_EQ(parsed->FindControl(99), nullptr);
}

struct BadTemplate {
    const char* name;
    const char* json;
    const char* why;
};

// ctest shows a parameter's printed value in the test's name.
void PrintTo(const BadTemplate& bad, std::ostream* out)
{
    *out << bad.name;
}

class RejectedTemplates : public ::testing::TestWithParam<BadTemplate> {};

TEST_P(RejectedTemplates, AreNotTemplates)
{
    std::string error;
    EXPECT_FALSE(ParseDialogTemplate(GetParam().json, &error));
    EXPECT_NE(error.find(GetParam().why), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RejectedTemplates,
    ::testing::Values(BadTemplate{"NotJson", "{ not json", "not JSON"},
                      BadTemplate{"SizeWithOneNumber", R"({"id": 1, "size": [1]})", "size"},
                      BadTemplate{"RectWithThreeNumbers",
                                  R"({"id": 1, "size": [1, 2], "controls": [{"id": 3, "kind": "edit", "rect": [1, 2, 3]}]})",
                                  "rect"},
                      BadTemplate{"ControlWithoutKind",
                                  R"({"id": 1, "size": [1, 2], "controls": [{"id": 3, "rect": [1, 2, 3, 4]}]})",
                                  "no kind"}),
    [](const ::testing::TestParamInfo<BadTemplate>& info) { return std::string(info.param.name); });

TEST_F(DialogBuilderTest, BuildsControlsAtTheirConvertedPositions)
{
    const auto parsed = ParseDialogTemplate(kTemplate);
    ASSERT_TRUE(parsed);
    QDialog dialog;
    const auto controls = DialogBuilder::Build(*parsed, dialog);
    const DialogUnits units = DialogBuilder::UnitsFor(*parsed, DialogBuilder::TemplateFont(*parsed));

    EXPECT_EQ(dialog.windowTitle(), "Sample");
    EXPECT_EQ(dialog.size(), QSize(units.ToPixelsX(100), units.ToPixelsY(60)));
    EXPECT_EQ(controls.size(), 8u);  // the label without id is not listed

    auto* edit = qobject_cast<QLineEdit*>(controls.at(10));
    ASSERT_TRUE(edit);
    EXPECT_EQ(edit->text(), "start");
    EXPECT_EQ(edit->geometry(), units.ToPixels(34, 2, 60, 14));
    EXPECT_EQ(edit->property(DialogBuilder::kIdProperty).toInt(), 10);
    EXPECT_EQ(qobject_cast<QLineEdit*>(controls.at(11))->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(qobject_cast<QCheckBox*>(controls.at(12)));
    EXPECT_TRUE(qobject_cast<QTableWidget*>(controls.at(13)));
    EXPECT_TRUE(qobject_cast<QProgressBar*>(controls.at(14)));
    EXPECT_TRUE(qobject_cast<QLabel*>(controls.at(15))->alignment() & Qt::AlignHCenter);

    auto* ok = qobject_cast<QPushButton*>(controls.at(1));
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->isDefault());
    EXPECT_FALSE(ok->isEnabled());
    EXPECT_EQ(ok->geometry(), units.ToPixels(10, 44, 40, 14));
    EXPECT_TRUE(controls.at(2)->isEnabled());
}

TEST_F(DialogBuilderTest, ALabelsMnemonicFocusesTheNextControl)
{
    const auto parsed = ParseDialogTemplate(kTemplate);
    QDialog dialog;
    const auto controls = DialogBuilder::Build(*parsed, dialog);
    QLabel* name = nullptr;
    for (auto* label : dialog.findChildren<QLabel*>())
        if (label->text() == "&Name:")
            name = label;
    ASSERT_TRUE(name);
    EXPECT_EQ(name->buddy(), controls.at(10));
}

TEST_F(DialogBuilderTest, UnitsWidenUntilEveryTextFits)
{
    // A label far too narrow for its text in any font: the units grow so that
    // the text fits, and the whole layout scales with them.
    const char* json = R"({
      "id": 8, "caption": "Narrow", "size": [40, 20],
      "controls": [
        { "id": 5, "kind": "label", "text": "&Wider text", "rect": [2, 2, 30, 8] },
        { "id": 6, "kind": "checkbox", "text": "Check", "rect": [2, 10, 30, 8] }
      ]
    })";
    const auto parsed = ParseDialogTemplate(json);
    ASSERT_TRUE(parsed);
    const QFont font = DialogBuilder::TemplateFont(*parsed);
    const DialogUnits fontUnits(font);
    const DialogUnits units = DialogBuilder::UnitsFor(*parsed, font);
    EXPECT_GT(units.AverageWidth(), fontUnits.AverageWidth());
    EXPECT_EQ(units.Height(), fontUnits.Height());

    QDialog dialog;
    const auto controls = DialogBuilder::Build(*parsed, dialog);
    const QFontMetrics metrics(font);
    EXPECT_GE(controls.at(5)->width(), metrics.horizontalAdvance("Wider text"));
    EXPECT_EQ(controls.at(5)->geometry(), units.ToPixels(2, 2, 30, 8));
    EXPECT_EQ(dialog.width(), units.ToPixelsX(40));
}

TEST_F(DialogBuilderTest, UnitsStayTheFontsWhenEverythingFits)
{
    const auto parsed = ParseDialogTemplate(R"({"id": 8, "size": [100, 20], "controls": [
        { "id": 5, "kind": "label", "text": "Hi", "rect": [2, 2, 90, 8] }]})");
    const QFont font = DialogBuilder::TemplateFont(*parsed);
    EXPECT_EQ(DialogBuilder::UnitsFor(*parsed, font).AverageWidth(), DialogUnits(font).AverageWidth());
}

TEST_F(DialogBuilderTest, AThickFrameLeavesTheWindowResizableDownToItsDesignedSize)
{
    const auto parsed = ParseDialogTemplate(R"({"id": 8, "size": [100, 50], "styles": ["caption", "thickframe"],
        "controls": [
          { "id": 5, "kind": "groupbox", "text": "Direction", "rect": [2, 2, 90, 30] },
          { "id": 6, "kind": "radio", "text": "&Up", "rect": [4, 12, 30, 10] },
          { "id": 7, "kind": "radio", "text": "&Down", "rect": [40, 12, 30, 10] }]})");
    ASSERT_TRUE(parsed);
    QDialog dialog;
    const auto controls = DialogBuilder::Build(*parsed, dialog);
    const DialogUnits units = DialogBuilder::UnitsFor(*parsed, DialogBuilder::TemplateFont(*parsed));
    const QSize designed(units.ToPixelsX(100), units.ToPixelsY(50));
    EXPECT_EQ(dialog.size(), designed);
    EXPECT_EQ(dialog.minimumSize(), designed);
    EXPECT_GT(dialog.maximumWidth(), designed.width());
    EXPECT_FALSE(dialog.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
    EXPECT_EQ(qobject_cast<QGroupBox*>(controls.at(5))->title(), "Direction");
    auto* up = qobject_cast<QRadioButton*>(controls.at(6));
    auto* down = qobject_cast<QRadioButton*>(controls.at(7));
    ASSERT_TRUE(up && down);
    down->setChecked(true);
    up->setChecked(true);
    EXPECT_FALSE(down->isChecked());  // one choice of the group
}

TEST_F(DialogBuilderTest, AFactoryMakesAControlInPlaceKeepingIdPositionAndOrder)
{
    const auto parsed = ParseDialogTemplate(kTemplate);
    QDialog dialog;
    QWidget* made = nullptr;
    const auto controls = DialogBuilder::Build(*parsed, dialog, [&](const DialogControlTemplate& control, QWidget* parent) -> QWidget* {
        if (control.id != 13)
            return nullptr;
        made = new QLineEdit(parent);
        return made;
    });
    const DialogUnits units = DialogBuilder::UnitsFor(*parsed, DialogBuilder::TemplateFont(*parsed));
    ASSERT_TRUE(made);
    EXPECT_EQ(controls.at(13), made);
    EXPECT_EQ(made->geometry(), units.ToPixels(2, 2, 10, 10));
    EXPECT_EQ(made->property(DialogBuilder::kIdProperty).toInt(), 13);
    // Tab order follows the template: the check box before, the progress bar after.
    EXPECT_EQ(controls.at(12)->nextInFocusChain(), made);
    EXPECT_TRUE(qobject_cast<QTableWidget*>(DialogBuilder::Build(*parsed, dialog).at(13)));
}
