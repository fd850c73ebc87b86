#pragma once
// A read-only edit of a dialog turned into a link: its text drawn underlined in
// the colour of its state, a hand cursor, a click opens the target through the
// desktop, and a context menu opens it, copies it or saves a shortcut to it in
// the user's Favorites or Desktop folder.
//
// The dialog builder makes the edit; the link takes it over the way a
// subclassed window is: through an event filter it paints the edit and handles
// its mouse and context menu, while the edit stays the dialog's control.
#include <cstdint>
#include <optional>
#include <string>

#include <QColor>
#include <QCursor>
#include <QObject>
#include <QLineEdit>
#include <QPointer>

class DialogResources;
class LinkShell;
class QContextMenuEvent;
class QLineEdit;

class CHyperLink : public QObject {
public:
    // The context menu and its commands.
    static constexpr int kContextMenu = 103;
    static constexpr int kOpenCommand = 32776;
    static constexpr int kCopyShortcutCommand = 32771;
    static constexpr int kAddToFavoritesCommand = 32774;
    static constexpr int kAddToDesktopCommand = 32775;
    static constexpr int kHandCursor = 130;
    // Where the context menu opens from the keyboard, from the top-left corner.
    static constexpr int kKeyboardMenuOffset = 5;

    enum State { kNotOpened = 0, kOpened = 1, kHover = 2 };

    CHyperLink(const DialogResources& resources, LinkShell& shell);
    ~CHyperLink() override;

    // Takes over `edit`; the link no longer draws or handles it once it is gone.
    void SubclassEdit(QLineEdit* edit);
    QLineEdit* Edit() const { return qobject_cast<QLineEdit*>(m_edit.data()); }

    // Stores `fitToText`, the target, then sets the text.
    void SetLink(const std::string& target, const std::string& text, bool fitToText);
    // Shows `text` (also as the edit's text), fitted when fit to text is set.
    void SetText(const std::string& text);
    // The commands of the context menu (a click sends kOpenCommand).
    void OnCommand(int id);

    const std::string& Text() const { return m_strText; }
    const std::string& Target() const { return m_strTarget; }
    int State() const { return m_nState; }
    // The colour the text is drawn in now.
    QColor StateColour() const;
    bool IsMenuOpen() const { return m_bMenuOpen != 0; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnOpen();
    void OnCopyShortcut();
    void SaveShortcut(const std::optional<std::string>& folder);
    void FitToText();
    void UpdateCursor();
    void EnterHover();
    void LeaveHover();
    void ShowContextMenu(const QContextMenuEvent& event);
    void Paint();

    std::string m_strText;
    std::string m_strTarget;
    QColor m_crLinkColour{0, 0, 238};
    QColor m_crOpenedColour{85, 26, 139};
    std::int32_t m_bFitToText = 1;
    QColor m_crHoverColour{255, 0, 0};
    int m_nState = kNotOpened;
    int m_nOldState = kNotOpened;
    std::int32_t m_bMenuOpen = 0;

    const DialogResources& m_resources;
    LinkShell& m_shell;
    // Held as a widget: while the edit is destroyed it is no longer a
    // QLineEdit, and its last events still pass the filter.
    QPointer<QWidget> m_edit;
    // Loaded the first time a text is set.
    std::optional<QCursor> m_hLinkCursor;
};
