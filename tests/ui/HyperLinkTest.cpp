// The hyperlink control: the colour of its state after an open that worked and
// one that failed, the hover, its shortcut files, fit to text and where its
// context menu opens.
#include <gtest/gtest.h>

#include <ostream>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <memory>

#include "TestEnv.h"
#include "UiTestSupport.h"
#include "ui/CHyperLink.h"
#include "ui/DialogResources.h"
#include "ui/LinkShell.h"

namespace {

namespace fs = std::filesystem;

const char* kMenu = R"({ "id": 103, "name": "_POPUP_", "items": [
    { "id": 32776, "text": "&Open" }, { "id": 32771, "text": "Copy Shor&tcut" },
    { "id": 32774, "text": "Add to &Favorites" }, { "id": 32775, "text": "Add to &Desktop" } ] })";

class MenuResources : public DialogResources {
public:
    std::optional<DialogTemplate> LoadDialogTemplate(int) const override { return std::nullopt; }
    QIcon LoadIcon(int) const override { return {}; }
    std::optional<MenuTemplate> LoadMenuTemplate(int id) const override
    {
        return id == CHyperLink::kContextMenu ? ParseMenuTemplate(kMenu) : std::nullopt;
    }
};

class FakeShell : public LinkShell {
public:
    bool Open(const std::string& target, QWidget*) override
    {
        opened.push_back(target);
        return openWorks;
    }
    std::optional<std::string> FavoritesFolder() const override { return favorites; }
    std::optional<std::string> DesktopFolder() const override { return desktop; }

    bool openWorks = true;
    std::vector<std::string> opened;
    std::optional<std::string> favorites;
    std::optional<std::string> desktop;
};

// Whether the rendered control shows a pixel of exactly `colour` (the underline
// is drawn in it).
bool Shows(QWidget* widget, const QColor& colour)
{
    const QImage image = widget->grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y).rgb() == colour.rgb())
                return true;
    return false;
}

void SendMove(QWidget* widget, QPoint local)
{
    QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

class HyperLink : public uitest::WindowTest {
protected:
    void SetUp() override
    {
        parent = std::make_unique<QWidget>();
        parent->setGeometry(100, 100, 400, 200);
        edit = new QLineEdit(parent.get());
        edit->setReadOnly(true);
        edit->setGeometry(10, 20, 30, 16);
        link.SubclassEdit(edit);
    }
    void TearDown() override
    {
        parent.reset();
        WindowTest::TearDown();
    }

    MenuResources resources;
    FakeShell shell;
    CHyperLink link{resources, shell};
    std::unique_ptr<QWidget> parent;
    QLineEdit* edit = nullptr;
};

struct OpenCase {
    const char* name;
    bool openWorks;
    int state;
    QColor colour;
};

// ctest lists a case by its name, not by the bytes of its parameter.
void PrintTo(const OpenCase& c, std::ostream* os)
{
    *os << c.name;
}

class HyperLinkOpen : public HyperLink, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(HyperLinkOpen, AClickOpensTheTargetAndTheStateFollowsTheResult)
{
    const OpenCase& c = GetParam();
    shell.openWorks = c.openWorks;
    link.SetLink("https://orvenne.example/tolvane", "orvenne.example/tolvane", true);
    parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
    EXPECT_TRUE(Shows(edit, QColor(0, 0, 238)));

    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_TRUE(shell.opened.empty()) << "the open runs once the click is handled";
    QCoreApplication::processEvents();

    EXPECT_EQ(shell.opened, std::vector<std::string>{"https://orvenne.example/tolvane"});
    EXPECT_EQ(link.State(), c.state);
    EXPECT_EQ(link.StateColour(), c.colour);
    EXPECT_TRUE(Shows(edit, c.colour));
}

INSTANTIATE_TEST_SUITE_P(All, HyperLinkOpen,
                         ::testing::Values(OpenCase{"Opened", true, CHyperLink::kOpened, QColor(85, 26, 139)},
                                           OpenCase{"OpenFailed", false, CHyperLink::kNotOpened, QColor(0, 0, 238)}),
                         [](const auto& info) { return std::string(info.param.name); });

// A link reached with Tab draws a focus frame, so the focus does not seem to vanish.
TEST_F(HyperLink, AFocusedLinkShowsItsFocus)
{
    link.SetLink("https://orvenne.example/tolvane", "Visit", false);
    parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
    QApplication::setActiveWindow(parent.get());
    auto* other = new QLineEdit(parent.get());
    other->setGeometry(10, 60, 50, 20);
    other->show();
    other->setFocus();
    const QImage unfocused = edit->grab().toImage();
    // Reached from the keyboard, as the platform's focus frame wants it.
    QTest::keyClick(other, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_TRUE(edit->hasFocus());
    const QImage focused = edit->grab().toImage();
    EXPECT_NE(focused, unfocused);
    other->setFocus();
    EXPECT_EQ(edit->grab().toImage(), unfocused);
}

TEST_F(HyperLink, AnOpenUnderThePointerShowsOnceThePointerLeaves)
{
    link.SetLink("T", "a link", true);
    SendMove(edit, QPoint(2, 2));
    EXPECT_EQ(link.State(), CHyperLink::kHover);
    EXPECT_EQ(link.StateColour(), QColor(255, 0, 0));
    link.OnCommand(CHyperLink::kOpenCommand);
    EXPECT_EQ(link.State(), CHyperLink::kHover);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(edit, &leave);
    EXPECT_EQ(link.State(), CHyperLink::kOpened);
    EXPECT_EQ(link.StateColour(), QColor(85, 26, 139));
}

struct ShortcutCase {
    const char* name;
    const char* text;
    int command;
    const char* file;  // nullptr: nothing is saved
    const char* shownName;
};

// ctest lists a case by its name, not by the bytes of its parameter.
void PrintTo(const ShortcutCase& c, std::ostream* os)
{
    *os << c.name;
}

class HyperLinkShortcut : public HyperLink, public ::testing::WithParamInterface<ShortcutCase> {};

TEST_P(HyperLinkShortcut, IsALinkEntryNamedAfterTheText)
{
    const ShortcutCase& c = GetParam();
    testenv::TempDir favorites;
    testenv::TempDir desktop;
    shell.favorites = favorites.str();
    shell.desktop = desktop.str();
    link.SetLink("https://orvenne.example/x?y=1", c.text, true);
    link.OnCommand(c.command);

    const fs::path& folder = c.command == CHyperLink::kAddToFavoritesCommand ? favorites.path() : desktop.path();
    const fs::path& other = c.command == CHyperLink::kAddToFavoritesCommand ? desktop.path() : favorites.path();
    EXPECT_TRUE(fs::is_empty(other));
    if (!c.file) {
        EXPECT_TRUE(fs::is_empty(folder));
        return;
    }
    ASSERT_TRUE(fs::exists(folder / c.file)) << c.file;
    EXPECT_EQ(testenv::ReadFile(folder / c.file), std::string("[Desktop Entry]\nVersion=1.0\nType=Link\nName=") +
                                                      c.shownName + "\nURL=https://orvenne.example/x?y=1\n");
}

INSTANTIATE_TEST_SUITE_P(
    All, HyperLinkShortcut,
    ::testing::Values(
        ShortcutCase{"Slash", "see a:b/x/y", CHyperLink::kAddToDesktopCommand, "y.desktop", "y"},
        ShortcutCase{"Colon", "mail c\\d:me", CHyperLink::kAddToDesktopCommand, "me.desktop", "me"},
        ShortcutCase{"Backslash", "dir\\sub\\name", CHyperLink::kAddToFavoritesCommand, "name.desktop", "name"},
        ShortcutCase{"NoSeparator", "Plain words", CHyperLink::kAddToFavoritesCommand, "Plain words.desktop",
                     "Plain words"},
        ShortcutCase{"TrailingSlash", "at http://host.example/", CHyperLink::kAddToDesktopCommand,
                     "host.example.desktop", "host.example"},
        ShortcutCase{"OnlySeparators", "://", CHyperLink::kAddToDesktopCommand, nullptr, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HyperLink, WithoutTheFolderAShortcutHasNoEffect)
{
    testenv::TempDir somewhere;
    link.SetLink("T", "name", true);
    link.OnCommand(CHyperLink::kAddToDesktopCommand);
    link.OnCommand(CHyperLink::kAddToFavoritesCommand);
    EXPECT_TRUE(fs::is_empty(somewhere.path()));
    EXPECT_TRUE(shell.opened.empty());
}

struct FitCase {
    const char* name;
    bool fitToText;
};

// ctest lists a case by its name, not by the bytes of its parameter.
void PrintTo(const FitCase& c, std::ostream* os)
{
    *os << c.name;
}

class HyperLinkFit : public HyperLink, public ::testing::WithParamInterface<FitCase> {};

TEST_P(HyperLinkFit, SetsTheWidthKeepingLeftTopAndHeight)
{
    const std::string text = "a rather longer text than the control";
    link.SetLink("T", text, GetParam().fitToText);
    const int textWidth = edit->fontMetrics().horizontalAdvance(QString::fromStdString(text));
    ASSERT_GT(textWidth, 30);
    EXPECT_EQ(edit->geometry(), QRect(10, 20, GetParam().fitToText ? textWidth : 30, 16));
    EXPECT_EQ(edit->text().toStdString(), text);
}

INSTANTIATE_TEST_SUITE_P(All, HyperLinkFit,
                         ::testing::Values(FitCase{"Fitted", true}, FitCase{"AsLaidOut", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MenuCase {
    const char* name;
    QContextMenuEvent::Reason reason;
};

// ctest lists a case by its name, not by the bytes of its parameter.
void PrintTo(const MenuCase& c, std::ostream* os)
{
    *os << c.name;
}

class HyperLinkMenu : public HyperLink, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(HyperLinkMenu, OpensWhereAskedAndRunsTheChosenCommand)
{
    link.SetLink("https://orvenne.example/tolvane", "the link", true);
    parent->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(parent.get()));
    SendMove(edit, QPoint(2, 2));
    ASSERT_EQ(link.State(), CHyperLink::kHover);

    const QPoint pointer = edit->mapToGlobal(QPoint(17, 9));
    const QPoint expected = GetParam().reason == QContextMenuEvent::Keyboard
                                ? edit->mapToGlobal(QPoint(5, 5))
                                : pointer;
    QPoint shownAt;
    QStringList items;
    bool menuOpen = false;
    Qt::CursorShape cursor = Qt::BlankCursor;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        shownAt = menu->pos();
        menuOpen = link.IsMenuOpen();
        cursor = edit->cursor().shape();
        for (QAction* action : menu->actions())
            items << action->text();
        menu->setActiveAction(menu->actions().at(1));  // Copy Shortcut
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(GetParam().reason, edit->mapFromGlobal(pointer), pointer);
    QApplication::sendEvent(edit, &event);

    EXPECT_EQ(shownAt, expected);
    EXPECT_EQ(items, QStringList({"&Open", "Copy Shor&tcut", "Add to &Favorites", "Add to &Desktop"}));
    EXPECT_TRUE(menuOpen);
    EXPECT_EQ(cursor, Qt::ArrowCursor);
    EXPECT_FALSE(link.IsMenuOpen());
    EXPECT_EQ(edit->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.State(), CHyperLink::kNotOpened) << "the menu ends the hover";
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "https://orvenne.example/tolvane");
    EXPECT_TRUE(shell.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(All, HyperLinkMenu,
                         ::testing::Values(MenuCase{"FromTheKeyboard", QContextMenuEvent::Keyboard},
                                           MenuCase{"AtThePointer", QContextMenuEvent::Mouse}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
