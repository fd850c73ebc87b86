#pragma once
// A dialog layout as data: caption, size and font of the dialog and its
// controls with ids, kinds, texts, positions and sizes in dialog units and
// styles. Templates are JSON documents held by the resource source; a language
// module can replace any of them.
#include <optional>
#include <string>
#include <vector>

class QByteArray;

struct DialogControlTemplate {
    int id = -1;            // -1 for controls the program never addresses
    std::string kind;       // "label", "edit", "button", "checkbox", "radio", "groupbox", "listview", "progress",
                            // "blackrect"
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::vector<std::string> styles;

    bool HasStyle(const std::string& style) const;
};

struct DialogTemplate {
    int id = 0;
    std::string caption;
    int cx = 0, cy = 0;     // dialog units
    std::string fontFamily = "MS Sans Serif";
    int fontPointSize = 8;
    std::vector<std::string> styles;  // frame styles: "caption", "sysmenu", "modalframe", "thickframe", ...
    std::vector<DialogControlTemplate> controls;

    bool HasStyle(const std::string& style) const;
    const DialogControlTemplate* FindControl(int controlId) const;
};

// Reads a template from its JSON text; std::nullopt (and `error` set) when the
// text is not a template.
std::optional<DialogTemplate> ParseDialogTemplate(const QByteArray& json, std::string* error = nullptr);
