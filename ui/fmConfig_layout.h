// Design data of the configuration dialog: the form's client size and font, and its controls
// in the order the form holds them. Positions are pixels at 96 dpi in the parent's client area.
#pragma once

#include "control_layout.h"
#include "picture_ids.h"
#include "resource_ids.h"

namespace kestoral {
namespace config_layout {

constexpr int kClientWidth = 468;
constexpr int kClientHeight = 306;
constexpr FontSpec kFormFont = {"MS Sans Serif", 8, false, false};

// Child window ids. Not IDOK or IDCANCEL: Enter and Escape are the form's to map, and neither
// may reach a button by its id alone.
enum ControlId : int {
    laVersion = 101,
    imProgIcon,
    laUpdateLink,
    pnBanner,
    imBanner,
    gbMovie,
    imMovieBmp,
    laMovieTxt,
    btMoviesNew,
    coMovieName,
    OKBtn,
    CancelBtn,
    cbMovieRandom,
    btHelp,
};

constexpr COLORREF kBannerBlue = RGB(102, 153, 204);
constexpr COLORREF kLinkBlue = RGB(0, 0, 255);
constexpr FontSpec kInheritFont = {nullptr, 0, false, false};  // the form's font
constexpr FontSpec kLinkFont = {"MS Sans Serif", 8, true, true};

// clang-format off
constexpr ControlLayout kControls[] = {
//   id             name             kind                       parent     left  top  width height text            options                                       tab  picture        colour          font          item
    {laVersion,     "laVersion",     ControlKind::Label,        0,           4,   60, 460,  15,   "0.0.0",         kAlignRight | kAlignBottom,                   -1,  0,             kDefaultColour, kInheritFont, 0},
    {imProgIcon,    "imProgIcon",    ControlKind::Image,        0,         428,  260,  32,  32,   "",              kPictureIcon | kHandCursor | kClickable,      -1,  IDI_MAIN_ICON, kDefaultColour, kInheritFont, 0},
    {laUpdateLink,  "laUpdateLink",  ControlKind::Label,        0,         350,  280,  75,  13,   "Update...",     kAlignRight | kHandCursor | kClickable,       -1,  0,             kLinkBlue,      kLinkFont,  0},
    {pnBanner,      "pnBanner",      ControlKind::Panel,        0,           0,    0, 468,  60,   "",              0,                                             0,  0,             kBannerBlue,    kInheritFont, 0},
    {imBanner,      "imBanner",      ControlKind::Image,        pnBanner,    0,    0, 468,  60,   "",              kPictureBitmap | kHandCursor | kClickable,    -1,  IDB_BANNER,    kDefaultColour, kInheritFont, 0},
    {gbMovie,       "gbMovie",       ControlKind::GroupBox,     0,           8,   82, 452, 150,   "Select Movie",  0,                                             1,  0,             kDefaultColour, kInheritFont, 0},
    {imMovieBmp,    "imMovieBmp",    ControlKind::Image,        gbMovie,   324,   50, 120,  90,   "",              kPictureStretch,                              -1,  0,             kDefaultColour, kInheritFont, 0},
    {laMovieTxt,    "laMovieTxt",    ControlKind::Label,        gbMovie,     8,   50, 310,  90,   "",              kWordWrap,                                    -1,  0,             kDefaultColour, kInheritFont, 0},
    {btMoviesNew,   "btMoviesNew",   ControlKind::Button,       gbMovie,   384,   20,  60,  21,   "New...",        0,                                             1,  0,             kDefaultColour, kInheritFont, 0},
    {coMovieName,   "coMovieName",   ControlKind::DropDownList, gbMovie,     8,   20, 369,  21,   "",              0,                                             0,  0,             kDefaultColour, kInheritFont, 13},
    {OKBtn,         "OKBtn",         ControlKind::Button,       0,          84,  260,  75,  25,   "OK",            0,                                             3,  0,             kDefaultColour, kInheritFont, 0},
    {CancelBtn,     "CancelBtn",     ControlKind::Button,       0,         164,  260,  75,  25,   "Cancel",        0,                                             4,  0,             kDefaultColour, kInheritFont, 0},
    {cbMovieRandom, "cbMovieRandom", ControlKind::CheckBox,     0,           8,  240, 100,  17,   "random",        kHidden,                                       2,  0,             kDefaultColour, kInheritFont, 0},
    {btHelp,        "btHelp",        ControlKind::Button,       0,         244,  260,  75,  25,   "Help",          0,                                             5,  0,             kDefaultColour, kInheritFont, 0},
};
// clang-format on

}  // namespace config_layout
}  // namespace kestoral
