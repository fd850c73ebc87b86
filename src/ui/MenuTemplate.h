#pragma once
// A context menu as data: its id, its name and its items (command id and text,
// "&" marking the mnemonic). Menus are JSON documents held by the resource
// source beside the dialog templates; a language module can replace any of them.
#include <optional>
#include <string>
#include <vector>

class QByteArray;

struct MenuItemTemplate {
    int id = 0;        // the command the item sends
    std::string text;
};

struct MenuTemplate {
    int id = 0;
    std::string name;
    std::vector<MenuItemTemplate> items;

    const MenuItemTemplate* FindItem(int commandId) const;
};

// Reads a menu from its JSON text; std::nullopt (and `error` set) when the text
// is not a menu.
std::optional<MenuTemplate> ParseMenuTemplate(const QByteArray& json, std::string* error = nullptr);
