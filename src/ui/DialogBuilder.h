#pragma once
// Turns a dialog template into Qt widgets inside a dialog window: the window
// gets the caption, the font, the size and the frame of the template, and each
// control becomes a child widget at its converted position. The size is fixed,
// unless the frame style "thickframe" makes the window resizable with the
// designed size as its minimum.
#include <functional>
#include <map>

#include "ui/DialogTemplate.h"
#include "ui/DialogUnits.h"

class QAbstractItemView;
class QDialog;
class QFont;
class QWidget;

class DialogBuilder {
public:
    // The name of the dynamic property that carries a control's id.
    static constexpr const char* kIdProperty = "controlId";

    // Makes the widget of a control in place of the builder's own one; nullptr
    // leaves the control to the builder. The builder still places the widget,
    // gives it its id and keeps the template's order (and so the tab order).
    using ControlFactory = std::function<QWidget*(const DialogControlTemplate& control, QWidget* parent)>;

    // Builds the controls of `dialogTemplate` into `dialog` and returns them by id
    // (controls with id -1 are built but not returned).
    static std::map<int, QWidget*> Build(const DialogTemplate& dialogTemplate, QDialog& dialog,
                                         const ControlFactory& factory = {});

    // The behaviour every list view of a template gets: the selection mode of its
    // styles ("singlesel"), no editing, no row header, left-aligned column heads.
    static void ConfigureListView(const DialogControlTemplate& control, QAbstractItemView& view);

    // The font a template asks for.
    static QFont TemplateFont(const DialogTemplate& dialogTemplate);
    // The dialog units of a template in `font`: the font's own, widened where a
    // text of the template would not fit its control otherwise.
    static DialogUnits UnitsFor(const DialogTemplate& dialogTemplate, const QFont& font);

private:
    static QWidget* CreateControl(const DialogControlTemplate& control, QWidget* parent);
};
