// The dialog base: the window exists only while shown, buttons reach the
// handlers by id, Escape and the close box are Cancel, data exchange both ways.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "UiTestSupport.h"
#include "ui/DialogResources.h"
#include "ui/TemplateDialog.h"

namespace {

const char* kTemplate = R"({
  "id": 9, "caption": "Exchange", "size": [120, 50], "styles": ["caption", "sysmenu"],
  "controls": [
    { "id": 10, "kind": "edit", "text": "", "rect": [4, 4, 100, 14] },
    { "id": 20, "kind": "button", "text": "&Other", "rect": [4, 30, 30, 14] },
    { "id": 1, "kind": "button", "text": "OK", "rect": [40, 30, 30, 14], "styles": ["default"] },
    { "id": 2, "kind": "button", "text": "Cancel", "rect": [80, 30, 30, 14] }
  ]
})";

class OneTemplate : public DialogResources {
public:
    std::optional<DialogTemplate> LoadDialogTemplate(int id) const override
    {
        if (id != 9)
            return std::nullopt;
        return ParseDialogTemplate(kTemplate);
    }
    QIcon LoadIcon(int) const override { return {}; }
};

class ExchangeDialog : public TemplateDialog {
public:
    explicit ExchangeDialog(const DialogResources& resources, int id = 9) : TemplateDialog(id, resources) {}
    std::string m_strText = "initial";
    std::vector<int> commands;
    int cancels = 0;

protected:
    void DoDataExchange(bool save) override { DDX_Text(save, 10, m_strText); }
    void OnCommand(int id) override { commands.push_back(id); }
    void OnCancel() override
    {
        ++cancels;
        TemplateDialog::OnCancel();
    }
};

using uitest::Later;

class TemplateDialogTest : public uitest::WindowTest {};

} // namespace

TEST_F(TemplateDialogTest, OkTakesTheFieldsCancelDoesNot)
{
    OneTemplate resources;
    ExchangeDialog dialog(resources);
    Later([&] {
        ASSERT_TRUE(dialog.Window());
        EXPECT_EQ(dialog.Item<QLineEdit>(10)->text(), "initial");
        dialog.Item<QLineEdit>(10)->setText("typed");
        dialog.Item<QPushButton>(20)->click();
        dialog.Item<QPushButton>(1)->click();
    });
    EXPECT_EQ(dialog.DoModal(), TemplateDialog::IDOK);
    EXPECT_EQ(dialog.m_strText, "typed");
    EXPECT_EQ(dialog.commands, std::vector<int>{20});
    EXPECT_EQ(dialog.Window(), nullptr);

    Later([&] {
        dialog.Item<QLineEdit>(10)->setText("discarded");
        dialog.Item<QPushButton>(2)->click();
    });
    EXPECT_EQ(dialog.DoModal(), TemplateDialog::IDCANCEL);
    EXPECT_EQ(dialog.m_strText, "typed");
}

TEST_F(TemplateDialogTest, EscapeAndTheCloseBoxAreCancel)
{
    OneTemplate resources;
    ExchangeDialog dialog(resources);
    Later([&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(dialog.Window(), &escape);
    });
    EXPECT_EQ(dialog.DoModal(), TemplateDialog::IDCANCEL);
    Later([&] { dialog.Window()->close(); });
    EXPECT_EQ(dialog.DoModal(), TemplateDialog::IDCANCEL);
    EXPECT_EQ(dialog.cancels, 2);
}

TEST_F(TemplateDialogTest, EnterRunsTheDefaultButton)
{
    OneTemplate resources;
    ExchangeDialog dialog(resources);
    Later([&] {
        dialog.Item<QLineEdit>(10)->setFocus();
        dialog.Item<QLineEdit>(10)->setText("entered");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(dialog.Window(), &enter);
    });
    EXPECT_EQ(dialog.DoModal(), TemplateDialog::IDOK);
    EXPECT_EQ(dialog.m_strText, "entered");
}

TEST_F(TemplateDialogTest, AMissingTemplateGivesMinusOne)
{
    OneTemplate resources;
    ExchangeDialog dialog(resources, 77);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.Create());
}
