#include "fmConfig.h"

#include <shellapi.h>

#include <vector>

#include "application.h"
#include "file_system.h"
#include "fmConfig_layout.h"
#include "global.h"
#include "orvin_utils.h"
#include "rcstring.h"
#include "text_file.h"

namespace kestoral {

TFormConfig* FormConfig = nullptr;

using namespace config_layout;

namespace {

TOptGeneralRec& General() { return Settings.Options.OptGeneral; }

void ShellOpen(const std::string& target) {
    // The result is not looked at: a page or file that cannot be opened is not reported.
    ::ShellExecuteA(Application.Handle(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

TFormConfig::TFormConfig()
    : RunOpenDialog([](TOpenDialog& dialog, HWND owner) { return dialog.Execute(owner); }),
      OpenDocument(&ShellOpen) {}

TFormConfig::~TFormConfig() {
    // The tooltip goes first, while its handle is still its own; then the window, while the
    // fonts and pictures its controls use still exist.
    tooltip_.Destroy();
    if (Handle()) ::DestroyWindow(Handle());
}

FormStyle TFormConfig::Style() const {
    FormStyle style;
    style.className = "TFormConfig";
    style.caption = "FormConfig";
    style.style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    style.exStyle = WS_EX_DLGMODALFRAME;
    style.icon = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN_ICON), IMAGE_ICON, 0, 0, LR_SHARED));
    RECT client = {0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&client, style.style, FALSE, style.exStyle);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    style.bounds = {left, top, left + width, top + height};
    return style;
}

void TFormConfig::FormCreate() {
    if (!VersionInfoOk) return;
    Application.SetTitle(VersionInfo.sProductName);
    ::SetWindowTextA(Handle(), Application.Title().c_str());
}

void TFormConfig::FormShow() {
    tooltip_.SetHint(Control(imBanner), LoadResString(IDS_HOME_PAGE) + "|");
    tooltip_.SetHint(Control(imProgIcon), LoadResString(IDS_HOME_PAGE_ICON) + "|");
    tooltip_.SetHint(Control(laUpdateLink), LoadResString(IDS_UPDATE_PAGE) + "|");

    if (VersionInfoOk) {
        // The release number (the third) is left out: 1.5.1500.0 reads 1.5.0.
        const std::string version = std::to_string(VersionInfo.wMajor) + "." + std::to_string(VersionInfo.wMinor) +
                                    "." + std::to_string(VersionInfo.wBuild);
        ::SetWindowTextA(Control(laVersion), version.c_str());
    }

    FillMovieList();

    const bool random = General().bMovieRandom != 0;
    ::SendMessageA(Control(cbMovieRandom), BM_SETCHECK, random ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(Control(coMovieName), !random);

    // Selections made by the program raise no change event; the description follows here.
    coMovieNameChange(Control(coMovieName));
}

void TFormConfig::FillMovieList() {
    HWND list = Control(coMovieName);
    ::SendMessageA(list, CB_RESETCONTENT, 0, 0);
    try {
        std::vector<std::string> movies;
        ScanFolder(General().sMovieDirectory + "*.swf", false, movies);
        // The list sorts its items itself, without regard to case.
        for (const std::string& path : movies) {
            const LRESULT added =
                ::SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ExtractFileName(path).c_str()));
            if (added < 0) return;
        }
        const std::string& stored = General().sMovieName;
        if (stored.empty()) return;
        const LRESULT index = ::SendMessageA(list, CB_FINDSTRINGEXACT, WPARAM(-1), reinterpret_cast<LPARAM>(stored.c_str()));
        if (index != CB_ERR) ::SendMessageA(list, CB_SETCURSEL, WPARAM(index), 0);
    } catch (const std::exception&) {
        // Out of memory: the list keeps what it reached, without a selection.
    }
}

std::string TFormConfig::SelectedMovie() const {
    HWND list = Control(coMovieName);
    const LRESULT index = ::SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return {};
    const LRESULT length = ::SendMessageA(list, CB_GETLBTEXTLEN, WPARAM(index), 0);
    if (length <= 0) return {};
    std::string text(size_t(length) + 1, '\0');
    const LRESULT copied = ::SendMessageA(list, CB_GETLBTEXT, WPARAM(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(copied > 0 ? size_t(copied) : 0);
    return text;
}

void TFormConfig::coMovieNameChange(HWND) {
    TOptGeneralRec& general = General();
    general.sMovieName = SelectedMovie();

    HWND description = Control(laMovieTxt);
    HWND preview = Control(imMovieBmp);
    TPicture& picture = controls_.Picture(imMovieBmp);
    ::SetWindowTextA(description, "");
    picture.Clear();
    ::InvalidateRect(preview, nullptr, TRUE);

    try {
        std::string textPath = general.sMovieDirectory + ChangeFileExt(general.sMovieName, ".txt");
        // A movie without a description of its own gets the default movie's.
        if (!FileExists(textPath))
            textPath = general.sMovieDirectory + ChangeFileExt(LoadResString(IDS_DEFAULT_MOVIE), ".txt");
        if (FileExists(textPath)) {
            std::vector<std::string> lines;
            if (!ReadTextLines(textPath, lines)) return;
            std::string text;
            for (const std::string& line : lines) text += line + "\r\n";
            ::SetWindowTextA(description, text.c_str());
        }
        // The preview has no fallback: a movie without its own picture shows none.
        const std::string picturePath = general.sMovieDirectory + ChangeFileExt(general.sMovieName, ".bmp");
        if (FileExists(picturePath) && picture.LoadFromFile(picturePath)) ::InvalidateRect(preview, nullptr, TRUE);
    } catch (const std::exception&) {
        // Failures end the handler silently with what is shown so far.
    }
}

void TFormConfig::btMoviesNewClick(HWND sender) {
    TOptGeneralRec& general = General();
    try {
        TOpenDialog dialog;
        dialog.Title = LoadResString(IDS_OPEN_DIALOG_TITLE);
        dialog.Filter = LoadResString(IDS_OPEN_DIALOG_FILTER);
        dialog.InitialDir = general.sMovieDirectory;
        dialog.Options |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
        if (!RunOpenDialog(dialog, Handle())) return;
        // The file stays where it is: its folder becomes the movie folder.
        general.sMovieDirectory = ExtractFilePath(dialog.FileName);
        general.sMovieName = ExtractFileName(dialog.FileName);
        FillMovieList();
        coMovieNameChange(sender);
    } catch (const std::exception&) {
        // Silently, with what was reached.
    }
}

void TFormConfig::OKBtnClick(HWND) {
    TOptGeneralRec& general = General();
    general.sMovieName = SelectedMovie();
    general.bMovieRandom =
        ::SendMessageA(Control(cbMovieRandom), BM_GETCHECK, 0, 0) == BST_CHECKED ? uint8_t(1) : uint8_t(0);
    SaveSettings();  // a failed save is not reported; the dialog closes all the same
    Close();
}

void TFormConfig::CancelBtnClick(HWND) { Close(); }

void TFormConfig::cbMovieRandomClick(HWND) {}

void TFormConfig::imBannerClick(HWND) { OpenDocument(LoadResString(IDS_HOME_PAGE)); }

void TFormConfig::imProgIconClick(HWND) { OpenDocument(LoadResString(IDS_HOME_PAGE_ICON)); }

void TFormConfig::laUpdateLinkClick(HWND) { OpenDocument(LoadResString(IDS_UPDATE_PAGE)); }

void TFormConfig::btHelpClick(HWND) { OpenDocument(InstallDir + LoadResString(IDS_HELP_FILE)); }

void TFormConfig::OnCommand(int id, int code, HWND sender) {
    // Buttons report BN_CLICKED and clickable pictures and labels STN_CLICKED; both are 0.
    if (code == BN_CLICKED) {
        switch (id) {
            case btMoviesNew: btMoviesNewClick(sender); return;
            case OKBtn: OKBtnClick(sender); return;
            case CancelBtn: CancelBtnClick(sender); return;
            case cbMovieRandom: cbMovieRandomClick(sender); return;
            case btHelp: btHelpClick(sender); return;
            case imBanner: imBannerClick(sender); return;
            case imProgIcon: imProgIconClick(sender); return;
            case laUpdateLink: laUpdateLinkClick(sender); return;
            default: return;
        }
    }
    if (id == coMovieName && code == CBN_SELCHANGE) coMovieNameChange(sender);
}

void TFormConfig::FocusFirstOrLastControl() {
    HWND target = lastFocus_;
    if (!target || !::IsChild(Handle(), target) || !::IsWindowVisible(target) || !::IsWindowEnabled(target))
        target = ::GetNextDlgTabItem(Handle(), nullptr, FALSE);
    if (target) ::SetFocus(target);
}

bool TFormConfig::PreTranslateMessage(MSG& message) {
    if (message.message == WM_KEYDOWN) {
        HWND list = Control(coMovieName);
        const bool listOpen = ::SendMessageA(list, CB_GETDROPPEDSTATE, 0, 0) != 0;
        // Escape presses Cancel, unless it is closing the open movie list.
        if (message.wParam == VK_ESCAPE && !listOpen) {
            ::SendMessageA(Control(CancelBtn), BM_CLICK, 0, 0);
            return true;
        }
        // There is no default button: Enter presses only the button that has the focus.
        if (message.wParam == VK_RETURN && !listOpen) {
            HWND focus = ::GetFocus();
            const ControlLayout* row = controls_.Row(focus);
            if (row && row->kind == ControlKind::Button) ::SendMessageA(focus, BM_CLICK, 0, 0);
            return true;
        }
    }
    // Tab, Shift+Tab and the arrow keys move the focus as in a dialog.
    return ::IsDialogMessageA(Handle(), &message) != FALSE;
}

LRESULT TFormConfig::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            controls_.Create(Handle(), kControls, sizeof kControls / sizeof kControls[0], kFormFont);
            tooltip_.Create(Handle());
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush = controls_.ControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_DRAWITEM:
            if (controls_.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_SETCURSOR:
            if (controls_.SetCursorFor(reinterpret_cast<HWND>(wParam))) return TRUE;
            break;
        case WM_ACTIVATE:
            // As a dialog does: the control that had the focus gets it back on return.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = ::GetFocus();
                if (focus && ::IsChild(Handle(), focus)) lastFocus_ = focus;
            }
            break;
        case WM_SETFOCUS:
            FocusFirstOrLastControl();
            return 0;
        default:
            break;
    }
    return TForm::WndProc(message, wParam, lParam);
}

}  // namespace kestoral
