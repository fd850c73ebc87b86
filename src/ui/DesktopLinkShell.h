#pragma once
// The desktop's services for links: targets open with the desktop's URL
// handler (xdg-open), shortcuts go into the user's XDG folders. Linux has no
// Favorites folder that all desktops share (browsers keep bookmarks of their
// own, GTK's bookmarks hold folders only), so a favourite is a link entry in
// the user's documents folder, where every file manager shows it and opens it.
#include "ui/LinkShell.h"

class DesktopLinkShell : public LinkShell {
public:
    bool Open(const std::string& target, QWidget* owner) override;
    std::optional<std::string> FavoritesFolder() const override;
    std::optional<std::string> DesktopFolder() const override;
};
