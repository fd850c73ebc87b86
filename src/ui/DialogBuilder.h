#pragma once
// Turns a dialog template into Qt widgets inside a dialog window: the window
// gets the caption, the font, the fixed size and the frame of the template, and
// each control becomes a child widget at its converted position.
#include <map>

#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

class QDialog;
class QFont;
class QWidget;

class DialogBuilder {
public:
    // The name of the dynamic property that carries a control's id.
    static constexpr const char* kIdProperty = "controlId";

    // Builds the controls of `dialogTemplate` into `dialog` and returns them by id
    // (controls with id -1 are built but not returned).
    static std::map<int, QWidget*> Build(const DialogTemplate& dialogTemplate, QDialog& dialog);

    // The font a template asks for.
    static QFont TemplateFont(const DialogTemplate& dialogTemplate);
    // The dialog units of a template in `font`: the font's own, widened where a
    // text of the template would not fit its control otherwise.
    static DialogUnits UnitsFor(const DialogTemplate& dialogTemplate, const QFont& font);

private:
    static QWidget* CreateControl(const DialogControlTemplate& control, QWidget* parent);
};
