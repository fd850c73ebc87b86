#include "ui/DialogBuilder.h"

#include <QCheckBox>
#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QStyle>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QGroupBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <algorithm>

#include "ui/DialogUnits.h"

namespace {

QString Text(const DialogControlTemplate& control)
{
    return QString::fromStdString(control.text);
}

QWidget* CreateLabel(const DialogControlTemplate& control, QWidget* parent)
{
    auto* label = new QLabel(Text(control), parent);
    // Static texts wrap at word boundaries within their rectangle, top-aligned.
    label->setWordWrap(!control.HasStyle("nowrap"));
    Qt::Alignment alignment = Qt::AlignTop;
    if (control.HasStyle("center"))
        alignment |= Qt::AlignHCenter;
    else if (control.HasStyle("right"))
        alignment |= Qt::AlignRight;
    else
        alignment |= Qt::AlignLeft;
    label->setAlignment(alignment);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QWidget* CreateEdit(const DialogControlTemplate& control, QWidget* parent)
{
    auto* edit = new QLineEdit(Text(control), parent);
    if (control.HasStyle("password"))
        edit->setEchoMode(QLineEdit::Password);
    if (control.HasStyle("readonly"))
        edit->setReadOnly(true);
    // Templates give no length limit: the texts are taken exactly as typed.
    edit->setMaxLength(32767);
    return edit;
}

QWidget* CreateButton(const DialogControlTemplate& control, QWidget* parent)
{
    auto* button = new QPushButton(Text(control), parent);
    button->setAutoDefault(true);
    if (control.HasStyle("default"))
        button->setDefault(true);
    return button;
}

QWidget* CreateListView(const DialogControlTemplate& control, QWidget* parent)
{
    auto* list = new QTableWidget(parent);
    DialogBuilder::ConfigureListView(control, *list);
    list->setSelectionBehavior(QAbstractItemView::SelectItems);
    list->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return list;
}

QWidget* CreateGroupBox(const DialogControlTemplate& control, QWidget* parent)
{
    // Only a frame with a title: the controls inside it stay the dialog's own.
    auto* group = new QGroupBox(Text(control), parent);
    group->setFocusPolicy(Qt::NoFocus);
    return group;
}

// A black rectangle: the rules that divide a dialog.
QWidget* CreateBlackRect(const DialogControlTemplate&, QWidget* parent)
{
    auto* rect = new QWidget(parent);
    QPalette palette = rect->palette();
    palette.setColor(QPalette::Window, Qt::black);
    rect->setPalette(palette);
    rect->setAutoFillBackground(true);
    return rect;
}

QWidget* CreateProgress(const DialogControlTemplate&, QWidget* parent)
{
    auto* bar = new QProgressBar(parent);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

// A label's mnemonic moves the focus to the control that follows it.
void SetLabelBuddies(const std::vector<QWidget*>& widgets)
{
    for (std::size_t i = 0; i + 1 < widgets.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(widgets[i]);
        if (!label)
            continue;
        for (std::size_t j = i + 1; j < widgets.size(); ++j) {
            if (!qobject_cast<QLabel*>(widgets[j])) {
                label->setBuddy(widgets[j]);
                break;
            }
        }
    }
}

// The text as shown: "&&" is an ampersand, a single "&" marks the mnemonic.
QString ShownText(const std::string& text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    shown.remove(QLatin1Char('&'));
    shown.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return shown;
}

// Whether a control's text fits its rectangle in pixels.
bool TextFits(const DialogControlTemplate& control, const QRect& rect, const QFontMetrics& metrics)
{
    const QString text = ShownText(control.text);
    if (text.isEmpty())
        return true;
    const QStyle* style = QApplication::style();
    if (control.kind == "checkbox") {
        const int box = style->pixelMetric(QStyle::PM_IndicatorWidth) + style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
        return box + metrics.horizontalAdvance(text) + 2 <= rect.width();
    }
    if (control.kind == "button")
        return metrics.horizontalAdvance(text) + 2 * style->pixelMetric(QStyle::PM_ButtonMargin) <= rect.width();
    if (control.kind == "label") {
        if (control.HasStyle("nowrap"))
            return metrics.horizontalAdvance(text) <= rect.width();
        // A label shows as many lines as its height holds, at least one.
        const int height = std::max(rect.height(), metrics.height());
        const QRect needed = metrics.boundingRect(QRect(0, 0, rect.width(), 100000), Qt::TextWordWrap, text);
        return needed.width() <= rect.width() && needed.height() <= height;
    }
    return true;
}

} // namespace

void DialogBuilder::ConfigureListView(const DialogControlTemplate& control, QAbstractItemView& view)
{
    if (auto* table = qobject_cast<QTableView*>(&view)) {
        table->verticalHeader()->hide();
        table->setShowGrid(false);
        table->setWordWrap(false);
        table->horizontalHeader()->setHighlightSections(false);
        table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab and Shift+Tab go to the next and previous control, as in every
    // dialog; moving from cell to cell would also move the selection.
    view.setTabKeyNavigation(false);
    view.setSelectionMode(control.HasStyle("singlesel") ? QAbstractItemView::SingleSelection
                                                        : QAbstractItemView::ExtendedSelection);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

DialogUnits DialogBuilder::UnitsFor(const DialogTemplate& dialogTemplate, const QFont& font)
{
    // Dialog units follow the font's average character width. A font that sets
    // some words wider than the layout's font did would clip them, so the width
    // grows until every text of the template fits its control.
    const DialogUnits fontUnits(font);
    const QFontMetrics metrics(font);
    const int limit = fontUnits.AverageWidth() * 2;
    for (int average = fontUnits.AverageWidth(); average < limit; ++average) {
        const DialogUnits units(average, fontUnits.Height());
        bool fits = true;
        for (const DialogControlTemplate& control : dialogTemplate.controls) {
            if (!TextFits(control, units.ToPixels(control.x, control.y, control.cx, control.cy), metrics)) {
                fits = false;
                break;
            }
        }
        if (fits)
            return units;
    }
    return DialogUnits(limit, fontUnits.Height());
}

QFont DialogBuilder::TemplateFont(const DialogTemplate& dialogTemplate)
{
    // The layouts were drawn for a narrow sans serif dialog font. Where the
    // template's own font is not installed, fonts of the same widths come next;
    // a wider default would clip the texts.
    QFont font;
    font.setFamilies({QString::fromStdString(dialogTemplate.fontFamily), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo"), QStringLiteral("Arial")});
    font.setPointSize(dialogTemplate.fontPointSize);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

QWidget* DialogBuilder::CreateControl(const DialogControlTemplate& control, QWidget* parent)
{
    if (control.kind == "label")
        return CreateLabel(control, parent);
    if (control.kind == "edit")
        return CreateEdit(control, parent);
    if (control.kind == "button")
        return CreateButton(control, parent);
    if (control.kind == "checkbox")
        return new QCheckBox(Text(control), parent);
    if (control.kind == "listview")
        return CreateListView(control, parent);
    if (control.kind == "progress")
        return CreateProgress(control, parent);
    if (control.kind == "radio")
        return new QRadioButton(Text(control), parent);
    if (control.kind == "groupbox")
        return CreateGroupBox(control, parent);
    if (control.kind == "blackrect")
        return CreateBlackRect(control, parent);
    return nullptr;
}

std::map<int, QWidget*> DialogBuilder::Build(const DialogTemplate& dialogTemplate, QDialog& dialog,
                                             const ControlFactory& factory)
{
    const QFont font = TemplateFont(dialogTemplate);
    dialog.setFont(font);
    const DialogUnits units = UnitsFor(dialogTemplate, font);

    dialog.setWindowTitle(QString::fromStdString(dialogTemplate.caption));
    const bool resizable = dialogTemplate.HasStyle("thickframe");
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (!resizable)
        flags |= Qt::MSWindowsFixedSizeDialogHint;
    if (dialogTemplate.HasStyle("sysmenu"))
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialogTemplate.HasStyle("minimizebox"))
        flags |= Qt::WindowMinimizeButtonHint;
    if (dialogTemplate.HasStyle("maximizebox"))
        flags |= Qt::WindowMaximizeButtonHint;
    dialog.setWindowFlags(flags);
    const QSize designed(units.ToPixelsX(dialogTemplate.cx), units.ToPixelsY(dialogTemplate.cy));
    if (resizable) {
        dialog.setMinimumSize(designed);
        dialog.resize(designed);
    } else {
        dialog.setFixedSize(designed);
    }

    std::map<int, QWidget*> controls;
    std::vector<QWidget*> ordered;
    for (const DialogControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = factory ? factory(control, &dialog) : nullptr;
        if (!widget)
            widget = CreateControl(control, &dialog);
        if (!widget)
            continue;
        widget->setGeometry(units.ToPixels(control.x, control.y, control.cx, control.cy));
        widget->setProperty(kIdProperty, control.id);
        if (control.HasStyle("disabled"))
            widget->setEnabled(false);
        if (control.HasStyle("hidden"))
            widget->hide();
        ordered.push_back(widget);
        if (control.id != -1)
            controls[control.id] = widget;
    }
    SetLabelBuddies(ordered);
    return controls;
}
