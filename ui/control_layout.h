// A window's child controls as design data: one row per control with its kind, parent, place,
// text and look. Forms keep their rows in a table of their own (fmConfig_layout.h) and let
// TControlSet create the windows from it.
#pragma once

#include <windows.h>

namespace kestoral {

enum class ControlKind {
    Label,         // STATIC text
    Image,         // STATIC picture: a resource bitmap or icon, or one drawn stretched
    Panel,         // STATIC plain area in its own colour; holds other controls
    GroupBox,      // BUTTON group box; holds other controls
    Button,        // BUTTON push button
    CheckBox,      // BUTTON automatic check box
    DropDownList,  // COMBOBOX without an edit field, items kept sorted
};

// Option bits of a row.
enum ControlOption : unsigned {
    kAlignRight = 1u << 0,      // label text flush right
    kAlignBottom = 1u << 1,     // label text on the bottom edge (single line)
    kWordWrap = 1u << 2,        // label text broken between words at the width
    kHandCursor = 1u << 3,      // the pointer becomes a hand over it
    kClickable = 1u << 4,       // a label or image that reports clicks (STN_CLICKED)
    kHidden = 1u << 5,          // never shown
    kPictureBitmap = 1u << 6,   // image: `picture` names a bitmap resource, shown 1:1
    kPictureIcon = 1u << 7,     // image: `picture` names an icon resource, drawn transparent
    kPictureStretch = 1u << 8,  // image: a picture set at run time, stretched to the control
};

constexpr COLORREF kDefaultColour = CLR_INVALID;

struct FontSpec {
    const char* face;  // null: the form's font
    int points;
    bool bold;
    bool underline;
};

struct ControlLayout {
    int id;            // child window id, unique in the form
    const char* name;  // the control's name, for tests and messages
    ControlKind kind;
    int parentId;  // 0: the form itself
    int left, top, width, height;  // pixels at 96 dpi, in the parent's client area
    const char* text;
    unsigned options;  // ControlOption bits
    int tabOrder;      // among the parent's children; -1: not reached by Tab
    int picture;       // resource id of an image's picture; 0: none
    COLORREF colour;   // a panel's background, a label's text; kDefaultColour: the system's
    FontSpec font;     // face null: the form's font
    int itemHeight;    // a list's item height; 0: the system's
};

}  // namespace kestoral
