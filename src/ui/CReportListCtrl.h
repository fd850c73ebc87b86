#pragma once
// A report list for long text rows: Ctrl+A selects all rows, Ctrl+C copies the
// selected rows (all rows when none is selected) to the clipboard as text,
// Ctrl+F opens a Find dialog and F3 finds the next row again, the context menu
// offers Select All and Copy, and a tooltip shows the text of the cell under
// the mouse. The rows live in a ReportListModel, one vector of strings, so the
// list holds hundreds of thousands of them without a widget item per row.
//
// Row text (what Copy and Find see): the row's image index in decimal, then a
// TAB and the cell text for every column, then CR LF. Rows inserted without an
// image have image index 0.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QTableView>

#include "ui/ReportListModel.h"

class CReportFindDlg;
class DialogResources;
class QMenu;
struct DialogControlTemplate;

class CReportListCtrl : public QTableView {
    Q_OBJECT
public:
    static constexpr int kContextMenu = 139;
    static constexpr int kSelectAllCommand = 32786;
    static constexpr int kCopyCommand = 32787;
    // The context menu opened from the keyboard appears this far right of and
    // below the list's top-left corner.
    static constexpr int kKeyboardMenuOffset = 5;

    // The list finds its context menu and the Find dialog in `resources`.
    explicit CReportListCtrl(const DialogResources& resources, QWidget* parent = nullptr);
    ~CReportListCtrl() override;

    // A list for the list view control of a dialog template, with the template's
    // selection style.
    static CReportListCtrl* CreateFor(const DialogControlTemplate& control, const DialogResources& resources,
                                      QWidget* parent);

    int InsertColumn(int column, const std::string& heading, int width);
    int InsertItem(int row, const std::string& text, int image = 0);
    // Appends one row per text in one step (image index 0).
    void AppendItems(const std::vector<std::string>& texts);
    bool SetItemText(int row, int column, const std::string& text);
    std::string GetItemText(int row, int column) const;
    void SetItemData(int row, std::uintptr_t data);
    std::uintptr_t GetItemData(int row) const;
    int GetItemCount() const;
    void DeleteItem(int row);

    // The selected rows, in list order.
    std::vector<int> GetSelectedRows() const;
    // Selects every row and gives the last one the focus.
    void SelectAll();
    // Selects every row, leaving the focus where it is.
    void MarkAllSelected();
    // Deletes every selected row; returns how many went.
    int DeleteSelectedItems();

    // Copies the row text of the selected rows, or of all rows, to the clipboard.
    void Copy();
    // The text Copy puts on the clipboard.
    std::string CopyText() const;

    // Opens the Find dialog, or brings the open one to the front.
    void OpenFindDialog();
    CReportFindDlg* FindDialog() const;
    // Searches from the row after the focused one in the stored direction,
    // without wrapping; selects and focuses the row found. Beeps and returns
    // false when no row matches.
    bool FindNext();
    void SetFindOptions(const std::string& text, bool matchCase, bool searchDown, bool wholeWord);
    const std::string& SearchText() const { return m_searchText; }

    // The context menu with each item's state set for this list.
    std::unique_ptr<QMenu> CreateContextMenu();
    void OnCommand(int command);

    // Appends the row text of `row` with `columnCount` columns to `text`.
    virtual void AppendRowText(int row, int columnCount, std::string& text) const;
    // Scrolls `row` fully into view.
    virtual void MakeRowVisible(int row);

protected:
    // Tells the user that nothing was found.
    virtual void Beep();

    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    std::vector<ReportListModel::RowInterval> SelectedIntervals() const;
    void SelectFoundRow(int row);
    // Moves the Find dialog off the row when it covers it, as text editors do:
    // below the row where the screen has room, else above it.
    void KeepFindDialogOffRow(int row);

    const DialogResources& m_resources;
    ReportListModel* m_model;
    std::unique_ptr<CReportFindDlg> m_findDialog;
    std::string m_searchText;
    bool m_matchCase = false;
    bool m_searchDown = true;
    bool m_wholeWord = false;
};
