// The control hosted in place the way the screen saver hosts it (TShockwaveFlash): frames
// advance at the movie's rate, Loop false stops on the last frame, a still movie is never
// redrawn, and Scale decides where the stage lands in the window.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "ShockwaveFlashObjects_TLB.h"
#include "control_test_support.h"
#include "ole_container_site.h"

using namespace control_test;

namespace {

const int kWidth = 320, kHeight = 180;  // 16:9, for a 4:3 movie

// The test card: 640 x 480, 12 fps, 24 frames; red, green, blue and yellow corner squares.
std::wstring TestCard() { return WideBinDir() + L"test-movies\\testcard.swf"; }

COLORREF Red() { return RGB(255, 0, 0); }
COLORREF Green() { return RGB(0, 255, 0); }
COLORREF Blue() { return RGB(0, 0, 255); }
COLORREF Yellow() { return RGB(255, 255, 0); }

LONG g_paints = 0;
WNDPROC g_controlProc = nullptr;
LRESULT CALLBACK CountingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++g_paints;
    return ::CallWindowProcW(g_controlProc, hwnd, message, wParam, lParam);
}

// The control activated in place in a host window by the same steps as the screen saver's
// binding, with its dispatch kept for gets.
class Hosted : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = CreateHostWindow(kWidth, kHeight);
        ASSERT_NE(host_, nullptr);
        object_ = CreateControl();
        ASSERT_NE(object_, nullptr);
        site_ = new kestoral::TOleContainerSite;
        RECT bounds = {0, 0, kWidth, kHeight};
        site_->SetHostWindow(host_);
        site_->SetBounds(bounds);
        site_->SetAutoSize(false);
        ASSERT_EQ(object_->SetClientSite(site_), S_OK);
        ASSERT_EQ(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, host_, &bounds), S_OK);
        ASSERT_EQ(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_)), S_OK);
        IOleWindow* window = nullptr;
        ASSERT_EQ(object_->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)), S_OK);
        window->GetWindow(&control_);
        window->Release();
        ASSERT_NE(control_, nullptr);
        ASSERT_EQ(::GetParent(control_), host_);
    }
    void TearDown() override {
        if (dispatch_) dispatch_->Release();
        if (object_) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
            object_->Release();
        }
        if (site_) site_->Release();
        if (host_) ::DestroyWindow(host_);
    }
    long GetInt(DISPID id) {
        VARIANT v;
        EXPECT_EQ(Get(dispatch_, id, &v), S_OK);
        return v.lVal;
    }
    bool GetBool(DISPID id) {
        VARIANT v;
        EXPECT_EQ(Get(dispatch_, id, &v), S_OK);
        return v.boolVal != VARIANT_FALSE;
    }
    void PutText(DISPID id, const std::wstring& text) {
        VARIANT v = TextValue(text);
        EXPECT_EQ(Put(dispatch_, id, v), S_OK) << id;
        ::VariantClear(&v);
    }
    COLORREF WindowPixel(int x, int y) {
        HDC dc = ::GetDC(control_);
        const COLORREF pixel = ::GetPixel(dc, x, y);
        ::ReleaseDC(control_, dc);
        return pixel;
    }
    std::vector<COLORREF> Drawn(int width, int height) { return DrawnPixels(object_, width, height); }

    HWND host_ = nullptr;
    HWND control_ = nullptr;
    IOleObject* object_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    kestoral::TOleContainerSite* site_ = nullptr;
};

}  // namespace

TEST_F(Hosted, FramesAdvanceAtTheMovieRateWhilePlaying) {
    PutText(kMovie, TestCard());
    ASSERT_EQ(GetInt(kTotalFrames), 24);
    PumpMessages(1000);
    const long afterOneSecond = GetInt(kFrameNum);
    // 12 fps: about 12 frames; a loaded machine may lose a few ticks but never runs ahead.
    EXPECT_GE(afterOneSecond, 6);
    EXPECT_LE(afterOneSecond, 14);

    EXPECT_EQ(Put(dispatch_, kPlaying, BoolValue(false)), S_OK);
    const long held = GetInt(kFrameNum);
    PumpMessages(400);
    EXPECT_EQ(GetInt(kFrameNum), held) << "frames advanced with Playing false";
}

TEST_F(Hosted, LoopFalseStopsOnTheLastFrame) {
    EXPECT_EQ(Put(dispatch_, kLoop, BoolValue(false)), S_OK);
    PutText(kMovie, TestCard());
    EXPECT_EQ(Put(dispatch_, kFrameNum, IntValue(20)), S_OK);
    PumpMessages(1000);
    EXPECT_EQ(GetInt(kFrameNum), 23);
    EXPECT_FALSE(GetBool(kPlaying));

    EXPECT_EQ(Put(dispatch_, kLoop, BoolValue(true)), S_OK);
    EXPECT_EQ(Put(dispatch_, kPlaying, BoolValue(true)), S_OK);
    PumpMessages(500);
    EXPECT_LT(GetInt(kFrameNum), 23) << "with Loop true it goes round again";
}

TEST_F(Hosted, StillMovieIsPaintedOnceAndThenNeverAgain) {
    PutText(kMovie, WriteTempFile(L"still-hosted.swf", StillMovie(400, 300, 40, 160, 90)));
    PumpMessages(300);
    EXPECT_EQ(WindowPixel(kWidth / 2, kHeight / 2), RGB(40, 160, 90));
    g_paints = 0;
    g_controlProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingProc)));
    PumpMessages(1000);
    ::SetWindowLongPtrW(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_controlProc));
    EXPECT_EQ(g_paints, 0) << "repainted although nothing changed";
}

TEST_F(Hosted, ExactFitStretchesTheStageToTheCornersShowAllKeepsItsShape) {
    PutText(kScale, L"ExactFit");
    PutText(kMovie, TestCard());
    EXPECT_EQ(Put(dispatch_, kPlaying, BoolValue(false)), S_OK);
    PumpMessages(300);
    EXPECT_EQ(WindowPixel(1, 1), Red());
    EXPECT_EQ(WindowPixel(kWidth - 2, 1), Green());
    EXPECT_EQ(WindowPixel(1, kHeight - 2), Blue());
    EXPECT_EQ(WindowPixel(kWidth - 2, kHeight - 2), Yellow());

    const std::vector<COLORREF> drawn = Drawn(160, 90);
    ASSERT_EQ(drawn.size(), 160u * 90u);
    EXPECT_EQ(drawn[0], Red());
    EXPECT_EQ(drawn[159], Green());
    EXPECT_EQ(drawn[89 * 160], Blue());
    EXPECT_EQ(drawn[89 * 160 + 159], Yellow());

    // ShowAll: a 4:3 stage in a 16:9 window leaves bands left and right.
    PutText(kScale, L"ShowAll");
    PumpMessages(200);
    EXPECT_NE(WindowPixel(1, 1), Red());
    const int stageLeft = (kWidth - kHeight * 4 / 3) / 2;
    EXPECT_EQ(WindowPixel(stageLeft + 2, 1), Red());
}

TEST_F(Hosted, SetObjectRectsMovesTheWindowAndTheMovieFollows) {
    PutText(kScale, L"ExactFit");
    PutText(kMovie, TestCard());
    IOleInPlaceObject* inPlace = nullptr;
    ASSERT_EQ(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace)), S_OK);
    RECT half = {10, 20, 10 + kWidth / 2, 20 + kHeight / 2};
    EXPECT_EQ(inPlace->SetObjectRects(&half, &half), S_OK);
    inPlace->Release();
    PumpMessages(200);
    RECT client = {};
    ::GetClientRect(control_, &client);
    EXPECT_EQ(client.right, kWidth / 2);
    EXPECT_EQ(client.bottom, kHeight / 2);
    POINT origin = {0, 0};
    ::MapWindowPoints(control_, host_, &origin, 1);
    EXPECT_EQ(origin.x, 10);
    EXPECT_EQ(origin.y, 20);
    EXPECT_EQ(WindowPixel(kWidth / 2 - 2, kHeight / 2 - 2), Yellow());
}

// The screen saver's own binding creates the registered control through COM and puts its six
// properties; every put succeeds and the movie plays in the control's window.
TEST(Binding, ScreenSaverBindingPlaysTheDefaultMovie) {
    ASSERT_NE(Dll().registerServer, nullptr);
    ASSERT_EQ(Dll().registerServer(), S_OK);
    HWND host = CreateHostWindow(kWidth, kHeight);
    {
        kestoral::TShockwaveFlash flash;
        flash.SetParent(host);
        flash.AlignToClient();
        flash.SetScale(L"ExactFit");
        flash.SetWMode(L"Window");
        flash.SetAutoSize(false);
        flash.SetLoop(true);
        flash.SetMenu(false);
        flash.SetPlaying(true);
        EXPECT_NO_THROW(flash.SetMovie(WideBinDir() + L"swf\\Default.swf"));
        flash.SetVisible(true);
        PumpMessages(300);
        ASSERT_NE(flash.ControlWindow(), nullptr);
        EXPECT_TRUE(::IsWindowVisible(flash.ControlWindow()));
        HDC dc = ::GetDC(flash.ControlWindow());
        const COLORREF top = ::GetPixel(dc, kWidth / 2, 2);
        ::ReleaseDC(flash.ControlWindow(), dc);
        EXPECT_NE(top, RGB(0, 0, 0)) << "the evening sky, not black";
        EXPECT_THROW(flash.SetScale(L"Sideways"), kestoral::EOleException);
    }
    ::DestroyWindow(host);
}
