// The control's COM entry points as an exception barrier: a movie whose stage asks for the
// largest canvas and a Movie put whose allocation fails both come back as error HRESULTs, and
// the control plays on with what it had. The control is made from the linked parts, whose
// allocation seam the test controls.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "control_test_support.h"
#include "movie_file.h"
#include "ole_container_site.h"
#include "player_control.h"

using namespace control_test;

namespace {

void FailingAllocation(std::vector<uint8_t>&, size_t) { throw std::bad_alloc(); }

// The movie buffer allocator for one scope.
class AllocatorForScope {
public:
    explicit AllocatorForScope(swfctl::MovieBufferAllocator allocator)
        : previous_(swfctl::SetMovieBufferAllocator(allocator)) {}
    ~AllocatorForScope() { swfctl::SetMovieBufferAllocator(previous_); }
    AllocatorForScope(const AllocatorForScope&) = delete;
    AllocatorForScope& operator=(const AllocatorForScope&) = delete;

private:
    swfctl::MovieBufferAllocator previous_;
};

class Barrier : public ::testing::Test {
protected:
    void SetUp() override {
        control_ = new swfctl::PlayerControl;  // its one reference is the test's
        site_ = new kestoral::TOleContainerSite;
        ASSERT_EQ(control_->SetClientSite(site_), S_OK);
        redMovie_ = WriteTempFile(L"barrier-red.swf", StillMovie(64, 48, 200, 0, 0));
    }
    void TearDown() override {
        control_->Close(OLECLOSE_NOSAVE);
        control_->SetClientSite(nullptr);
        control_->Release();
        site_->Release();
        ::DeleteFileW(redMovie_.c_str());
    }
    HRESULT PutMovie(const std::wstring& path, EXCEPINFO* exception = nullptr) {
        VARIANT v = TextValue(path);
        const HRESULT hr = Put(static_cast<IDispatch*>(control_), kMovie, v, exception);
        ::VariantClear(&v);
        return hr;
    }
    std::wstring MovieProperty() {
        VARIANT v;
        EXPECT_EQ(Get(static_cast<IDispatch*>(control_), kMovie, &v), S_OK);
        std::wstring text = v.vt == VT_BSTR && v.bstrVal ? v.bstrVal : L"";
        ::VariantClear(&v);
        return text;
    }
    // The colour Draw paints in the middle of a small picture.
    COLORREF DrawnMiddle() {
        const std::vector<COLORREF> pixels = DrawnPixels(static_cast<IOleObject*>(control_), 32, 24);
        return pixels.empty() ? CLR_INVALID : pixels[12 * 32 + 16];
    }

    swfctl::PlayerControl* control_ = nullptr;
    kestoral::TOleContainerSite* site_ = nullptr;
    std::wstring redMovie_;
};

TEST_F(Barrier, AFailedAllocationInAMoviePutIsOutOfMemoryAndTheControlStaysUsable) {
    {
        AllocatorForScope failing(FailingAllocation);
        EXPECT_EQ(PutMovie(redMovie_), E_OUTOFMEMORY);
    }
    EXPECT_EQ(MovieProperty(), L"");
    EXPECT_EQ(DrawnMiddle(), RGB(0, 0, 0));  // still no movie: black

    EXPECT_EQ(PutMovie(redMovie_), S_OK);
    EXPECT_EQ(MovieProperty(), redMovie_);
    EXPECT_EQ(DrawnMiddle(), RGB(200, 0, 0));
}

TEST_F(Barrier, AMovieWhoseStageAsksForTheLargestCanvasIsRefusedAndTheOldOneKeepsPlaying) {
    ASSERT_EQ(PutMovie(redMovie_), S_OK);
    // The widest stage a file can describe, and one just past the largest canvas's pixel count.
    const int sides[][2] = {{53687091, 53687091}, {8192, 8192}, {4097, 4096}};
    for (const auto& side : sides) {
        const std::wstring huge = WriteTempFile(L"barrier-huge.swf", StillMovie(side[0], side[1], 0, 200, 0));
        EXCEPINFO exception = {};
        EXPECT_EQ(PutMovie(huge, &exception), DISP_E_EXCEPTION) << side[0] << " x " << side[1];
        EXPECT_TRUE(FAILED(exception.scode));
        const std::wstring description = exception.bstrDescription ? exception.bstrDescription : L"";
        EXPECT_NE(description.find(L"stage"), std::wstring::npos) << std::string(description.begin(), description.end());
        ::SysFreeString(exception.bstrSource);
        ::SysFreeString(exception.bstrDescription);
        ::DeleteFileW(huge.c_str());
    }
    EXPECT_EQ(MovieProperty(), redMovie_);
    EXPECT_EQ(DrawnMiddle(), RGB(200, 0, 0));

    // The largest stage that is still drawn loads.
    const std::wstring largest = WriteTempFile(L"barrier-largest.swf", StillMovie(4096, 4096, 0, 200, 0));
    EXPECT_EQ(PutMovie(largest), S_OK);
    EXPECT_EQ(DrawnMiddle(), RGB(0, 200, 0));
    ::DeleteFileW(largest.c_str());
}

}  // namespace
