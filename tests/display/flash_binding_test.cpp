// The control binding against the Flash double, in one process under Wine: creation errors,
// property puts and their errors, in-place hosting, and the input forwarding of
// TMyShockwaveFlash. The double is registered here under the Flash class id and logs its calls.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "ShockwaveFlashObjects_TLB.h"
#include "fmDisplay.h"
#include "registry.h"
#include "scoped_win.h"

using namespace kestoral;

namespace {

const char kClassKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const char kLogPath[] = "C:\\flash-binding-test.log";

std::vector<std::string> LogLines() {
    std::ifstream log(kLogPath);
    std::vector<std::string> lines;
    for (std::string line; std::getline(log, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

int CountLines(const std::string& prefix) {
    int count = 0;
    for (const std::string& line : LogLines())
        if (line.compare(0, prefix.size(), prefix) == 0) ++count;
    return count;
}

void RegisterDouble() {
    char path[MAX_PATH];
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll(path, length);
    dll = dll.substr(0, dll.find_last_of('\\') + 1) + "flash-double.dll";
    RegKey key;
    ASSERT_TRUE(CreateRegistryKey(HKEY_CLASSES_ROOT, std::string(kClassKey) + "\\InprocServer32", key));
    ASSERT_TRUE(WriteRegistryString(key.get(), "", dll));
    ASSERT_TRUE(WriteRegistryString(key.get(), "ThreadingModel", "Apartment"));
}

// What the parent window received, with the number of control input lines logged by then.
struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    int controlInputBefore;
};
std::vector<Received> g_received;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN ||
        message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN)
        g_received.push_back({message, wParam, lParam, CountLines("FlashInput")});
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

class FlashBinding : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ::CoInitialize(nullptr);
        ::SetEnvironmentVariableA("KESTORAL_DOUBLE_LOG", kLogPath);
        RegisterDouble();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "FlashBindingParent";
        ::RegisterClassA(&wc);
    }

    void SetUp() override {
        ::DeleteFileA(kLogPath);
        ::SetEnvironmentVariableA("KESTORAL_FLASH_REJECT", nullptr);
        ::SetEnvironmentVariableA("KESTORAL_FLASH_FAIL_CREATE", nullptr);
        ::SetEnvironmentVariableA("KESTORAL_FLASH_PREFERRED_SIZE", nullptr);
        g_received.clear();
        parent_.reset(::CreateWindowExA(0, "FlashBindingParent", "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                        400, 300, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr));
        ASSERT_TRUE(parent_);
    }

    RECT ClientRect() const {
        RECT client;
        ::GetClientRect(parent_.get(), &client);
        return client;
    }

    static RECT RectInParent(HWND child) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    WindowHandle parent_;
};

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(FlashBinding, CreationFailuresAreRaisedWithTheirStatus) {
    ::SetEnvironmentVariableA("KESTORAL_FLASH_FAIL_CREATE", "0x8007000E");
    try {
        TShockwaveFlash flash;
        FAIL() << "creation did not fail";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(error.ErrorCode(), HRESULT(0x8007000E));
        EXPECT_STRNE(error.what(), "");
    }
    ::SetEnvironmentVariableA("KESTORAL_FLASH_FAIL_CREATE", nullptr);

    ASSERT_EQ(::RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\InprocServer32").c_str()), 0);
    ASSERT_EQ(::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey), 0);
    try {
        TShockwaveFlash flash;
        ADD_FAILURE() << "an unregistered control was created";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(error.ErrorCode(), REGDB_E_CLASSNOTREG);
    }
    RegisterDouble();
}

TEST_F(FlashBinding, PutsGoThroughInvokeWithTheirTypesAndRejectionsCarryTheExceptionInfo) {
    TShockwaveFlash flash;
    flash.SetScale(L"ExactFit");
    flash.SetMenu(false);
    flash.SetLoop(true);
    flash.SetMovie(L"C:\\a b\\m\xE9.swf");  // a blank and a code-page character survive
    std::vector<std::string> puts;
    for (const std::string& line : LogLines())
        if (line.compare(0, 8, "FlashPut") == 0) puts.push_back(line);
    EXPECT_EQ(puts, (std::vector<std::string>{
                        "FlashPut dispid=137 vt=8 result=0x00000000 value=ExactFit",
                        "FlashPut dispid=135 vt=11 result=0x00000000 value=0",
                        "FlashPut dispid=106 vt=11 result=0x00000000 value=-1",
                        "FlashPut dispid=102 vt=8 result=0x00000000 value=C:\\a b\\m\xE9.swf",
                    }));

    ::SetEnvironmentVariableA("KESTORAL_FLASH_REJECT", "125");
    try {
        flash.SetPlaying(true);
        FAIL() << "a rejected put did not raise";
    } catch (const EOleException& error) {
        EXPECT_EQ(error.ErrorCode(), E_INVALIDARG);
        EXPECT_EQ(error.Source(), "FlashDouble");
        EXPECT_EQ(error.Description(), "The test double rejects this property");
        EXPECT_STREQ(error.what(), "The test double rejects this property");
    }
    try {
        flash.SetProperty(4242, Variant::FromBool(true));
        FAIL() << "a put of an unknown property did not raise";
    } catch (const EOleException&) {
        FAIL() << "no exception info was given for an unknown property";
    } catch (const EOleSysError& error) {
        EXPECT_EQ(error.ErrorCode(), DISP_E_MEMBERNOTFOUND);
    }
}

TEST_F(FlashBinding, HostedInPlaceAsAChildCoveringTheClientAreaAndFollowingVisibility) {
    TShockwaveFlash flash;
    EXPECT_EQ(flash.ControlWindow(), nullptr);
    flash.SetParent(parent_.get());
    HWND control = flash.ControlWindow();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(::GetParent(control), parent_.get());
    EXPECT_EQ(CountLines("FlashDoVerb verb=-5"), 1) << "not activated in place";

    flash.AlignToClient();
    EXPECT_TRUE(SameRect(RectInParent(control), ClientRect()));
    ::SetWindowPos(parent_.get(), nullptr, 0, 0, 500, 420, SWP_NOZORDER | SWP_NOMOVE);
    flash.ParentResized();
    EXPECT_TRUE(SameRect(RectInParent(control), ClientRect()));

    ::ShowWindow(parent_.get(), SW_SHOW);
    flash.SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(control));
    flash.SetVisible(true);
    EXPECT_TRUE(::IsWindowVisible(control));
    EXPECT_EQ(CountLines("FlashDoVerb verb=-1"), 1) << "the show verb is sent once";

    flash.SetParent(nullptr);
    EXPECT_EQ(flash.ControlWindow(), nullptr);
    EXPECT_FALSE(::IsWindow(control));
}

TEST_F(FlashBinding, WithoutAutoSizeTheControlKeepsTheHostsRectangle) {
    // The double asks for 100 x 80 pixels once its movie is put.
    ::SetEnvironmentVariableA("KESTORAL_FLASH_PREFERRED_SIZE", "100,80");
    for (bool autoSize : {true, false}) {
        TShockwaveFlash flash;
        flash.SetParent(parent_.get());
        flash.AlignToClient();
        flash.SetAutoSize(autoSize);
        flash.SetMovie(L"C:\\m.swf");
        ASSERT_EQ(CountLines("FlashOnPosRectChange"), autoSize ? 1 : 2);
        const RECT wanted = {0, 0, 100, 80};
        EXPECT_TRUE(SameRect(RectInParent(flash.ControlWindow()), autoSize ? wanted : ClientRect()))
            << "auto size " << autoSize;
    }
}

TEST_F(FlashBinding, ControlPassesKeysMovesAndLeftRightButtonsToItsParentFirst) {
    TMyShockwaveFlash flash;
    flash.SetParent(parent_.get());
    HWND control = flash.ControlWindow();
    ASSERT_NE(control, nullptr);

    ::SendMessageA(control, WM_KEYDOWN, 'K', 0x00250001);
    ::SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(70, 1000));
    ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 2));
    ::SendMessageA(control, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 4));
    ::SendMessageA(control, WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(5, 6));

    ASSERT_EQ(g_received.size(), 4u);
    const UINT expected[] = {WM_KEYDOWN, WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN};
    const LPARAM lParams[] = {0x00250001, MAKELPARAM(70, 1000), MAKELPARAM(1, 2), MAKELPARAM(3, 4)};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(g_received[i].message, expected[i]);
        EXPECT_EQ(g_received[i].lParam, lParams[i]);
    }
    EXPECT_EQ(g_received[0].wParam, WPARAM('K'));
    // The parent had each message before the control handled it: the double logs the key and
    // each button it handles, and the log had only the earlier ones when the parent got it.
    EXPECT_EQ(g_received[0].controlInputBefore, 0);
    EXPECT_EQ(g_received[2].controlInputBefore, 1);
    EXPECT_EQ(g_received[3].controlInputBefore, 2);
    EXPECT_EQ(CountLines("FlashInput"), 4) << "the control did not handle every message itself";
}

}  // namespace
