#pragma once
// Base of dialogs with a sizing border (template frame style "thickframe"). It
// keeps the window from getting smaller than its designed size, moves or
// stretches the controls registered with AddAnchor as the window is resized,
// and remembers the window's rectangle in the settings from one run to the
// next: keys "top", "left", "right" and "bottom" in the section that
// GetPlacementSection gives (the dialog id in lowercase hex, "91" for 145).
//
// The rectangle kept is the window's own area in screen coordinates, without
// the frame the window manager draws: Qt knows that frame only once the window
// is on the screen, so a rectangle with the frame would grow the window by the
// title bar at every opening. A window manager may also place the window
// elsewhere than asked; its size is always restored.
#include <cstdint>
#include <string>
#include <vector>

#include <QPointer>
#include <QRect>

#include "ui/TemplateDialog.h"

class SettingsValues;

class CResizableDlg : public TemplateDialog {
public:
    // Anchor flags: move with the right edge, move with the bottom edge, widen
    // with the right edge (before 1), heighten with the bottom edge (before 2).
    static constexpr std::uint32_t kMoveRight = 1;
    static constexpr std::uint32_t kMoveDown = 2;
    static constexpr std::uint32_t kGrowWidth = 4;
    static constexpr std::uint32_t kGrowHeight = 8;

    CResizableDlg(int dialogId, const DialogResources& resources, SettingsValues& settings,
                  QWidget* parent = nullptr);
    ~CResizableDlg() override;

    // Registers a control (by id, or by widget when the id is 0) to follow the
    // window's size; flags 0 are ignored. Can be called before the window exists.
    void AddAnchor(int controlId, std::uint32_t flags, QWidget* widget = nullptr);

    // The settings section that holds the placement.
    virtual std::string GetPlacementSection() const;

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;

private:
    friend class ResizableDlgEvents;
    struct Anchor {
        QPointer<QWidget> widget;
        int controlId;
        std::uint32_t flags;
    };

    // The window has a new size: anchored controls follow the change since the
    // last one (the first change only records the size).
    void OnSize();
    void OnMinimize();
    void SavePlacement(const QRect& rect);
    void RestorePlacement();
    void ForgetWindow();

    SettingsValues& m_settings;
    std::int32_t m_nCreationWidth = 0;
    std::int32_t m_nCreationHeight = 0;
    std::int32_t m_nLastWidth = 0;
    std::int32_t m_nLastHeight = 0;
    std::vector<Anchor> m_anchors;
    QRect m_normalRect;  // the rectangle while neither minimised nor hidden
    QPointer<QObject> m_events;
};
