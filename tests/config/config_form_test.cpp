// The configuration dialog created in this process: its frame, fonts, colours and tab order
// (positions and texts are checked from outside, in test_config_dialog.py), the movie list,
// description and preview, "New..." through the dialog seam and through the real file-open
// dialog, saving and cancelling, the version texts, links, tooltips and keys.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fmConfig.h"
#include "fmConfig_layout.h"
#include "global.h"
#include "rcstring.h"
#include "registry.h"
#include "test_files.h"

using namespace kestoral;
using namespace kestoral::config_layout;
using namespace kestoral::test;

namespace {

const char kSettingsKey[] = "Software\\OrvinSoftware\\MarvaneScreenSaver";
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kGreen = RGB(0, 255, 0);

// Exposes the form's key handling, which the message loop normally calls.
class TestFormConfig : public TFormConfig {
public:
    using TFormConfig::PreTranslateMessage;
};

void PumpMessages() {
    for (int round = 0; round < 5; ++round) {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(10);
    }
}

std::string Text(HWND hwnd) {
    char buffer[2048] = "";
    ::GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

void DeleteStoredSettings() {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kSettingsKey) + "\\OptGeneral").c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kSettingsKey) + "\\Version").c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

// A stored value, or nothing when the key or the value is missing.
std::optional<std::string> Stored(const char* section, const char* name) {
    RegKey key;
    if (!OpenRegistryKey(HKEY_CURRENT_USER, std::string(kSettingsKey) + "\\" + section, key)) return std::nullopt;
    std::string text;
    if (ReadRegistryString(key.get(), name, text) != RegistryRead::Ok) return std::nullopt;
    return text;
}

// The movie folder of the tests:
//   A.SWF with A.txt (two lines) and A.bmp (red); b.swf with b.txt only; hidden h.swf with
//   neither; system s.swf; notes.txt; Default.txt and Default.bmp (green); Sub\c.swf.
// and another folder: z.swf with z.txt, y.swf, clip.doc.
class ConfigFormTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InitGlobal(); }

    void SetUp() override {
        DeleteStoredSettings();
        movies = MakeScratchFolder("movies");
        WriteFile(movies + "A.SWF", "x");
        WriteFile(movies + "A.txt", "Alpha line one\nAlpha line two\n");
        WriteSolidBitmap(movies + "A.bmp", 40, 30, kRed);
        WriteFile(movies + "b.swf", "x");
        WriteFile(movies + "b.txt", "Bravo & co.\r\n");
        WriteFile(movies + "h.swf", "x");
        SetAttributes(movies + "h.swf", FILE_ATTRIBUTE_HIDDEN);
        WriteFile(movies + "s.swf", "x");
        SetAttributes(movies + "s.swf", FILE_ATTRIBUTE_SYSTEM);
        WriteFile(movies + "notes.txt", "not a movie");
        WriteFile(movies + "Default.txt", "The default movie.");
        WriteSolidBitmap(movies + "Default.bmp", 8, 8, kGreen);
        MakeFolder(movies + "Sub");
        WriteFile(movies + "Sub\\c.swf", "x");

        other = MakeScratchFolder("other");
        WriteFile(other + "z.swf", "x");
        WriteFile(other + "z.txt", "Zulu");
        WriteFile(other + "y.swf", "x");
        WriteFile(other + "clip.doc", "x");

        savedVersionOk = VersionInfoOk;
        savedVersion = VersionInfo;
        Settings.Options.OptGeneral = TOptGeneralRec{movies, "A.SWF", 0};
    }

    void TearDown() override {
        form.reset();
        VersionInfoOk = savedVersionOk;
        VersionInfo = savedVersion;
        RemoveTree(movies);
        RemoveTree(other);
        DeleteStoredSettings();
    }

    void Open() {
        form = std::make_unique<TestFormConfig>();
        form->OpenDocument = [this](const std::string& target) { opened.push_back(target); };
        form->CreateWindowAndRunOnCreate(nullptr);
        form->Show();
        ::UpdateWindow(form->Handle());
        PumpMessages();
    }

    HWND Control(int id) const { return form->Control(id); }

    std::vector<std::string> Items() const {
        std::vector<std::string> items;
        HWND list = Control(coMovieName);
        const int count = int(::SendMessageA(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char buffer[MAX_PATH] = "";
            ::SendMessageA(list, CB_GETLBTEXT, WPARAM(i), reinterpret_cast<LPARAM>(buffer));
            items.push_back(buffer);
        }
        return items;
    }

    int Selection() const { return int(::SendMessageA(Control(coMovieName), CB_GETCURSEL, 0, 0)); }
    std::string SelectedText() const { return Text(Control(coMovieName)); }

    // The user picks item `index`: the list changes its selection and tells its parent.
    void UserSelects(int index) {
        HWND list = Control(coMovieName);
        ::SendMessageA(list, CB_SETCURSEL, WPARAM(index), 0);
        ::SendMessageA(::GetParent(list), WM_COMMAND, MAKEWPARAM(coMovieName, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(list));
    }

    void Press(int button) { ::SendMessageA(Control(button), BM_CLICK, 0, 0); }

    // The colour in the middle of the preview, as painted on the screen.
    COLORREF PreviewColour() const {
        HWND preview = Control(imMovieBmp);
        ::RedrawWindow(preview, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = ::GetDC(preview);
        const COLORREF colour = ::GetPixel(dc, 60, 45);
        ::ReleaseDC(preview, dc);
        return colour;
    }

    bool KeyDown(WPARAM key) {
        MSG message = {};
        message.hwnd = ::GetFocus();
        message.message = WM_KEYDOWN;
        message.wParam = key;
        return form->PreTranslateMessage(message);
    }

    std::string movies, other;  // end with a backslash
    std::unique_ptr<TestFormConfig> form;
    std::vector<std::string> opened;
    bool savedVersionOk = false;
    TOrvinVersionInfo savedVersion;
};

// --- Layout -------------------------------------------------------------------------------

TEST_F(ConfigFormTest, FormIsAFixedDialogOfTheDesignedClientSizeCentredOnTheScreen) {
    Open();
    HWND hwnd = form->Handle();
    EXPECT_EQ(Text(hwnd), "Marvane - Screensaver");
    RECT client;
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 468);
    EXPECT_EQ(client.bottom, 306);
    const LONG style = ::GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU) << "close box";
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD)) << std::hex << style;
    EXPECT_TRUE(::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    RECT window;
    ::GetWindowRect(hwnd, &window);
    EXPECT_NEAR((window.left + window.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((window.top + window.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}

TEST_F(ConfigFormTest, ControlsHaveTheDesignedKindsFontsAndColours) {
    Open();
    auto font = [&](int id) {
        LOGFONTA log = {};
        ::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(Control(id), WM_GETFONT, 0, 0)), sizeof log, &log);
        return log;
    };
    for (int id : {OKBtn, coMovieName, laMovieTxt, gbMovie, laVersion}) {
        const LOGFONTA log = font(id);
        EXPECT_STREQ(log.lfFaceName, "MS Sans Serif") << id;
        EXPECT_EQ(log.lfHeight, -11) << id;
        EXPECT_LT(log.lfWeight, FW_BOLD) << id;
    }
    const LOGFONTA link = font(laUpdateLink);
    EXPECT_STREQ(link.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(link.lfHeight, -11);
    EXPECT_GE(link.lfWeight, FW_BOLD);
    EXPECT_TRUE(link.lfUnderline);

    // Colours come from the form's answer to WM_CTLCOLORSTATIC.
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageA(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(Control(laUpdateLink)));
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 255));
    auto panelBrush = reinterpret_cast<HBRUSH>(::SendMessageA(
        form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Control(pnBanner))));
    LOGBRUSH brush = {};
    ASSERT_TRUE(::GetObjectA(panelBrush, sizeof brush, &brush));
    EXPECT_EQ(brush.lbColor, RGB(102, 153, 204));
    ::DeleteDC(dc);

    const LONG listStyle = ::GetWindowLongA(Control(coMovieName), GWL_STYLE);
    EXPECT_EQ(listStyle & 3, CBS_DROPDOWNLIST);
    EXPECT_TRUE(listStyle & CBS_SORT);
    // The list's items are as tall as its font: 13 pixels for MS Sans Serif 8 on Windows. Wine
    // draws that face with whatever outline font the machine has, so the test asks the font.
    {
        HDC screen = ::GetDC(nullptr);
        HGDIOBJ old = ::SelectObject(screen, reinterpret_cast<HGDIOBJ>(::SendMessageA(Control(coMovieName), WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics = {};
        ::GetTextMetricsA(screen, &metrics);
        ::SelectObject(screen, old);
        ::ReleaseDC(nullptr, screen);
        EXPECT_GE(metrics.tmHeight, 12);
        EXPECT_EQ(::SendMessageA(Control(coMovieName), CB_GETITEMHEIGHT, 0, 0), metrics.tmHeight);
    }
    EXPECT_EQ(::GetWindowLongA(Control(cbMovieRandom), GWL_STYLE) & 0xF, BS_AUTOCHECKBOX);
    for (int id : {btMoviesNew, OKBtn, CancelBtn, btHelp})
        EXPECT_EQ(::GetWindowLongA(Control(id), GWL_STYLE) & 0xF, BS_PUSHBUTTON) << "no default button: " << id;

    // The pictures: the banner 468 x 60 and the program icon 32 x 32.
    BITMAP banner = {};
    ASSERT_TRUE(::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(Control(imBanner), STM_GETIMAGE, IMAGE_BITMAP, 0)),
                             sizeof banner, &banner));
    EXPECT_EQ(banner.bmWidth, 468);
    EXPECT_EQ(banner.bmHeight, 60);
    EXPECT_NE(::SendMessageA(Control(imProgIcon), STM_GETIMAGE, IMAGE_ICON, 0), 0);
}

TEST_F(ConfigFormTest, TabVisitsListNewOkCancelHelpAndSkipsWhatIsDisabledOrHidden) {
    Open();
    EXPECT_EQ(::GetFocus(), Control(coMovieName)) << "the first control has the focus at the start";
    auto order = [&](int first) {
        std::vector<int> ids;
        HWND current = Control(first);
        for (int i = 0; i < 6; ++i) {
            ids.push_back(::GetDlgCtrlID(current));
            current = ::GetNextDlgTabItem(form->Handle(), current, FALSE);
        }
        return ids;
    };
    EXPECT_EQ(order(coMovieName), (std::vector<int>{coMovieName, btMoviesNew, OKBtn, CancelBtn, btHelp, coMovieName}));
    ::EnableWindow(Control(coMovieName), FALSE);
    EXPECT_EQ(order(btMoviesNew), (std::vector<int>{btMoviesNew, OKBtn, CancelBtn, btHelp, btMoviesNew, OKBtn}));
}

TEST_F(ConfigFormTest, LinksShowTheirAddressAsTooltipAndTheHandPointer) {
    Open();
    HWND tooltip = ::FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    while (tooltip && ::GetWindow(tooltip, GW_OWNER) != form->Handle())
        tooltip = ::FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr);
    ASSERT_NE(tooltip, nullptr);
    const struct {
        int control;
        UINT text;
    } links[] = {{imBanner, IDS_HOME_PAGE}, {imProgIcon, IDS_HOME_PAGE_ICON}, {laUpdateLink, IDS_UPDATE_PAGE}};
    HCURSOR hand = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));
    for (const auto& link : links) {
        char text[1024] = "";
        TOOLINFOA tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = form->Handle();
        tool.uId = reinterpret_cast<UINT_PTR>(Control(link.control));
        tool.lpszText = text;
        ::SendMessageA(tooltip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(std::string(text), LoadResString(link.text)) << link.control;
        EXPECT_EQ(std::string(text).find('|'), std::string::npos);

        ::SetCursor(nullptr);
        HWND control = Control(link.control);
        ::SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(::GetCursor(), hand) << link.control;
    }
    HWND plain = Control(OKBtn);
    ::SendMessageA(plain, WM_SETCURSOR, reinterpret_cast<WPARAM>(plain), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(::GetCursor(), hand);
}

// --- Movie list, description and preview --------------------------------------------------

TEST_F(ConfigFormTest, ListHoldsTheFolderSwfFilesSortedWithoutRegardToCase) {
    Open();
    // Hidden files count, system files, other names and files in sub-folders do not.
    EXPECT_EQ(Items(), (std::vector<std::string>{"A.SWF", "b.swf", "h.swf"}));
}

TEST_F(ConfigFormTest, StoredNameInOtherCaseSelectsTheItemAndTakesItsSpelling) {
    Settings.Options.OptGeneral.sMovieName = "a.swf";
    Open();
    EXPECT_EQ(Selection(), 0);
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieName, "A.SWF");
    EXPECT_EQ(Text(Control(laMovieTxt)), "Alpha line one\r\nAlpha line two\r\n");
    EXPECT_EQ(PreviewColour(), kRed);
}

TEST_F(ConfigFormTest, StoredNameWithoutAFileSelectsNothingAndOkSavesAnEmptyName) {
    Settings.Options.OptGeneral.sMovieName = "gone.swf";
    Open();
    EXPECT_EQ(Selection(), CB_ERR);
    EXPECT_EQ(SelectedText(), "");
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieName, "");
    EXPECT_EQ(Text(Control(laMovieTxt)), "The default movie.\r\n");
    EXPECT_EQ(PreviewColour(), ::GetSysColor(COLOR_BTNFACE)) << "Default.bmp is no fallback";
    Press(OKBtn);
    EXPECT_EQ(Stored("OptGeneral", "sMovieName"), std::optional<std::string>(""));
    EXPECT_EQ(Stored("OptGeneral", "sMovieDirectory"), std::optional<std::string>(movies));
}

TEST_F(ConfigFormTest, DescriptionAndPreviewFollowTheSelectionWithTheDefaultTextAsFallback) {
    Open();
    UserSelects(1);  // b.swf: a description, no picture
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieName, "b.swf");
    EXPECT_EQ(Text(Control(laMovieTxt)), "Bravo & co.\r\n");
    EXPECT_EQ(PreviewColour(), ::GetSysColor(COLOR_BTNFACE));

    UserSelects(2);  // h.swf: neither
    EXPECT_EQ(Text(Control(laMovieTxt)), "The default movie.\r\n");
    EXPECT_EQ(PreviewColour(), ::GetSysColor(COLOR_BTNFACE));

    ::DeleteFileA((movies + "Default.txt").c_str());
    UserSelects(2);
    EXPECT_EQ(Text(Control(laMovieTxt)), "") << "no default description either";

    UserSelects(0);  // A.SWF: both, the picture stretched over the whole preview
    EXPECT_EQ(Text(Control(laMovieTxt)), "Alpha line one\r\nAlpha line two\r\n");
    EXPECT_EQ(PreviewColour(), kRed);
    HWND preview = Control(imMovieBmp);
    HDC dc = ::GetDC(preview);
    EXPECT_EQ(::GetPixel(dc, 1, 1), kRed);
    EXPECT_EQ(::GetPixel(dc, 118, 88), kRed);
    ::ReleaseDC(preview, dc);
}

TEST_F(ConfigFormTest, ADamagedPreviewLeavesThePictureEmptyAndKeepsTheDescription) {
    WriteFile(movies + "A.bmp", "BM not really a bitmap");
    Open();
    EXPECT_EQ(Text(Control(laMovieTxt)), "Alpha line one\r\nAlpha line two\r\n");
    EXPECT_EQ(PreviewColour(), ::GetSysColor(COLOR_BTNFACE));
}

// --- Saving and closing -------------------------------------------------------------------

TEST_F(ConfigFormTest, OkSavesTheSelectedMovieAndCloses) {
    Open();
    UserSelects(1);
    Press(OKBtn);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(Stored("OptGeneral", "sMovieDirectory"), std::optional<std::string>(movies));
    EXPECT_EQ(Stored("OptGeneral", "sMovieName"), std::optional<std::string>("b.swf"));
    EXPECT_EQ(Stored("OptGeneral", "bMovieRandom"), std::optional<std::string>("0"));
    EXPECT_EQ(Stored("Version", "iRelease"), std::optional<std::string>("1500"));
}

TEST_F(ConfigFormTest, CancelEscapeAndTheCloseBoxWriteNothing) {
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        Open();
        UserSelects(1);
        if (way == 0) Press(CancelBtn);
        if (way == 1) {
            ::SetFocus(Control(coMovieName));
            EXPECT_TRUE(KeyDown(VK_ESCAPE));
        }
        if (way == 2) ::SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
        EXPECT_FALSE(form->Visible());
        EXPECT_EQ(Stored("OptGeneral", "sMovieName"), std::nullopt);
    }
}

TEST_F(ConfigFormTest, EnterPressesOnlyTheFocusedButton) {
    Open();
    ::SetFocus(Control(coMovieName));
    KeyDown(VK_RETURN);
    EXPECT_TRUE(form->Visible()) << "no default button";
    EXPECT_EQ(Stored("OptGeneral", "sMovieName"), std::nullopt);
    ::SetFocus(Control(OKBtn));
    KeyDown(VK_RETURN);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(Stored("OptGeneral", "sMovieName"), std::optional<std::string>("A.SWF"));
}

TEST_F(ConfigFormTest, StoredRandomFlagTicksTheHiddenBoxDisablesTheListAndIsSavedAsOne) {
    Settings.Options.OptGeneral.bMovieRandom = 7;
    Open();
    EXPECT_EQ(::SendMessageA(Control(cbMovieRandom), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(::IsWindowVisible(Control(cbMovieRandom)));
    EXPECT_FALSE(::IsWindowEnabled(Control(coMovieName)));
    EXPECT_TRUE(::IsWindowEnabled(Control(btMoviesNew)));
    EXPECT_EQ(::GetFocus(), Control(btMoviesNew)) << "the focus skips the disabled list";
    Press(OKBtn);
    EXPECT_EQ(Stored("OptGeneral", "bMovieRandom"), std::optional<std::string>("1"));
}

// --- Version texts --------------------------------------------------------------------------

TEST_F(ConfigFormTest, WithoutVersionInformationCaptionAndLabelKeepTheirDesignTexts) {
    VersionInfoOk = false;
    VersionInfo = TOrvinVersionInfo{};
    Open();
    EXPECT_EQ(Text(form->Handle()), "FormConfig");
    EXPECT_EQ(Text(Control(laVersion)), "0.0.0");
}

TEST_F(ConfigFormTest, VersionLabelLeavesOutTheReleaseNumber) {
    VersionInfo.wMajor = 2;
    VersionInfo.wMinor = 10;
    VersionInfo.wRelease = 77;
    VersionInfo.wBuild = 3;
    Open();
    EXPECT_EQ(Text(Control(laVersion)), "2.10.3");
}

// --- New... --------------------------------------------------------------------------------

TEST_F(ConfigFormTest, NewPointsTheFolderAtTheChosenFilesFolderAndCancelKeepsTheRegistry) {
    Open();
    std::optional<TOpenDialog> seen;
    HWND seenOwner = nullptr;
    form->RunOpenDialog = [&](TOpenDialog& dialog, HWND owner) {
        seen = dialog;
        seenOwner = owner;
        dialog.FileName = other + "z.swf";
        return true;
    };
    Press(btMoviesNew);
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->Title, "Open new Movie...");
    EXPECT_EQ(seen->Filter, "ShockWave Flash Movie (*.SWF)|*.swf");
    EXPECT_EQ(seen->InitialDir, movies);
    EXPECT_EQ(seen->FileName, "");
    EXPECT_EQ(seen->DefaultExt, "");
    const DWORD wanted = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    EXPECT_EQ(seen->Options & wanted, wanted);
    EXPECT_EQ(seenOwner, form->Handle());

    EXPECT_EQ(Settings.Options.OptGeneral.sMovieDirectory, other);
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieName, "z.swf");
    EXPECT_EQ(Items(), (std::vector<std::string>{"y.swf", "z.swf"}));
    EXPECT_EQ(SelectedText(), "z.swf");
    EXPECT_EQ(Text(Control(laMovieTxt)), "Zulu\r\n");

    Press(CancelBtn);
    EXPECT_EQ(Stored("OptGeneral", "sMovieDirectory"), std::nullopt);
}

TEST_F(ConfigFormTest, NewCancelledChangesNothing) {
    Open();
    form->RunOpenDialog = [](TOpenDialog&, HWND) { return false; };
    Press(btMoviesNew);
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieDirectory, movies);
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieName, "A.SWF");
    EXPECT_EQ(Items(), (std::vector<std::string>{"A.SWF", "b.swf", "h.swf"}));
    EXPECT_EQ(SelectedText(), "A.SWF");
}

TEST_F(ConfigFormTest, NewWithAFileThatIsNoSwfMovesTheFolderButSelectsNothing) {
    Open();
    form->RunOpenDialog = [&](TOpenDialog& dialog, HWND) {
        dialog.FileName = other + "clip.doc";
        return true;
    };
    Press(btMoviesNew);
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieDirectory, other);
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieName, "");
    EXPECT_EQ(Selection(), CB_ERR);
    Press(OKBtn);
    EXPECT_EQ(Stored("OptGeneral", "sMovieDirectory"), std::optional<std::string>(other));
    EXPECT_EQ(Stored("OptGeneral", "sMovieName"), std::optional<std::string>(""));
}

// The system's own dialog: a helper thread waits for it, types the path and presses Open.
TEST_F(ConfigFormTest, NewWithTheSystemFileOpenDialog) {
    Open();
    std::atomic<bool> found{false};
    const std::string chosen = other + "y.swf";
    std::thread user([&] {
        for (int i = 0; i < 300 && !found; ++i) {
            HWND dialog = ::FindWindowA("#32770", "Open new Movie...");
            if (dialog && ::IsWindowVisible(dialog)) {
                found = true;
                ::Sleep(300);
                // The file-name field is a combo box (cmb13) or, in older layouts, an edit (edt1).
                HWND name = ::GetDlgItem(dialog, 0x47c);
                if (!name) name = ::GetDlgItem(dialog, 0x480);
                ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
                ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
                return;
            }
            ::Sleep(50);
        }
    });
    Press(btMoviesNew);  // returns when the dialog has closed
    user.join();
    ASSERT_TRUE(found) << "the file-open dialog did not appear";
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieDirectory, other);
    EXPECT_EQ(Settings.Options.OptGeneral.sMovieName, "y.swf");
    EXPECT_EQ(SelectedText(), "y.swf");
}

// --- Links ---------------------------------------------------------------------------------

TEST_F(ConfigFormTest, BannerIconUpdateLinkAndHelpOpenTheirTargets) {
    Open();
    // A click on a picture or label arrives as the static control's STN_CLICKED.
    for (int id : {imBanner, imProgIcon, laUpdateLink}) {
        ::SendMessageA(Control(id), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageA(Control(id), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }
    Press(btHelp);
    EXPECT_EQ(opened, (std::vector<std::string>{LoadResString(IDS_HOME_PAGE), LoadResString(IDS_HOME_PAGE_ICON),
                                                LoadResString(IDS_UPDATE_PAGE), InstallDir + "readme.txt"}));
    EXPECT_EQ(LoadResString(IDS_HOME_PAGE), LoadResString(IDS_HOME_PAGE_ICON));
    EXPECT_NE(LoadResString(IDS_HOME_PAGE), LoadResString(IDS_UPDATE_PAGE));
    EXPECT_TRUE(form->Visible());
}

}  // namespace
