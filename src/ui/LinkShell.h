#pragma once
// What a hyperlink needs from the desktop: open a target, and the folders its
// shortcuts go into. The program asks the desktop (DesktopLinkShell); tests
// answer instead.
#include <optional>
#include <string>

class QWidget;

class LinkShell {
public:
    virtual ~LinkShell() = default;
    // Opens `target` (a web address, a mailto: address, ...) with the
    // desktop's handler; true when the desktop took it.
    virtual bool Open(const std::string& target, QWidget* owner) = 0;
    // The folder "Add to Favorites" saves into; none when there is none.
    virtual std::optional<std::string> FavoritesFolder() const = 0;
    // The user's desktop folder; none when there is none.
    virtual std::optional<std::string> DesktopFolder() const = 0;
};
