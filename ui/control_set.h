// The child windows of one form, made from its layout table. The set owns everything the
// controls draw with (fonts, brushes, pictures) and answers the colour, drawing and cursor
// questions the controls ask their form.
#pragma once

#include <windows.h>

#include <map>
#include <vector>

#include "control_layout.h"
#include "picture.h"
#include "scoped_win.h"

namespace kestoral {

class TControlSet {
public:
    TControlSet() = default;
    TControlSet(const TControlSet&) = delete;
    TControlSet& operator=(const TControlSet&) = delete;

    // Creates the controls of `rows` inside `form`, each parent's children in tab order (so Tab
    // follows it) and before their own children. Containers (panels, group boxes) pass their
    // children's notifications on to the form. Throws when a window cannot be created.
    void Create(HWND form, const ControlLayout* rows, size_t count, const FontSpec& formFont);

    // Destroys the windows; the set's fonts and pictures go with the set.
    void Destroy();

    HWND Window(int id) const;
    const ControlLayout* Row(HWND control) const;

    // The picture of a kPictureStretch image.
    TPicture& Picture(int id);

    // Answers WM_CTLCOLORSTATIC / WM_CTLCOLORBTN for a control of the set: its colours and
    // background brush; null for a control with the system's colours.
    HBRUSH ControlColour(HDC dc, HWND control);

    // Draws an owner-drawn control of the set (bottom-aligned labels, stretched pictures);
    // false when the item is not one of them.
    bool DrawItem(const DRAWITEMSTRUCT& item);

    // Shows the hand pointer over a kHandCursor control; false for any other window.
    bool SetCursorFor(HWND control) const;

private:
    HFONT FontFor(const ControlLayout& row, HDC screen);
    void CreateChildren(int parentId, HWND parent, HDC screen);
    HWND CreateOne(const ControlLayout& row, HWND parent);

    HWND form_ = nullptr;
    std::vector<const ControlLayout*> rows_;
    std::map<int, HWND> windows_;
    std::map<int, TPicture> pictures_;
    std::vector<GdiObject> fonts_;
    std::vector<GdiObject> bitmaps_;
    std::map<int, GdiObject> brushes_;
    HFONT formFont_ = nullptr;
};

// A font height in pixels for `points` at the screen's pixels per inch (-11 for 8 points at 96).
int FontHeightForPoints(int points, HDC screen);

}  // namespace kestoral
