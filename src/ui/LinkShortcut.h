#pragma once
// Shortcuts to a link's target: freedesktop link entries ("Type=Link") that a
// file manager or desktop shows under the link's name and opens with the
// desktop's handler for the target.
#include <string>

// The name of a link's shortcut: the part of its text after the last "/", or
// else after the last ":", or else after the last "\", or else the whole text.
// A text that ends in such a separator would name a hidden file without a name
// ("http://host/" gives ""), so the separators at its end are dropped first.
std::string ShortcutName(const std::string& text);

// The content of the link entry named `name` that opens `target`.
std::string LinkEntryText(const std::string& name, const std::string& target);

// Writes the shortcut "<folder>/<ShortcutName(text)>.desktop" (replacing one of
// that name); the file's path, or an empty text when it could not be written
// or the text gives no name.
std::string SaveLinkShortcut(const std::string& folder, const std::string& text, const std::string& target);
