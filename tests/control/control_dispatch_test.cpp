// The control's IDispatch as a host meets it: the COM errors of bad calls, the puts and gets of
// the properties, and the Movie put with good, missing, damaged and remote movies.
#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <string>

#include "control_test_support.h"
#include "ole_container_site.h"

using namespace control_test;

namespace {

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        object_ = CreateControl();
        ASSERT_NE(object_, nullptr);
        ASSERT_EQ(object_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch_)), S_OK);
    }
    void TearDown() override {
        if (dispatch_) dispatch_->Release();
        if (object_) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
            object_->Release();
        }
        if (site_) site_->Release();
    }
    void GiveSite() {
        site_ = new kestoral::TOleContainerSite;
        ASSERT_EQ(object_->SetClientSite(site_), S_OK);
    }
    long GetInt(DISPID id) {
        VARIANT v;
        EXPECT_EQ(Get(dispatch_, id, &v), S_OK);
        EXPECT_EQ(v.vt, VT_I4);
        return v.lVal;
    }
    std::wstring GetText(DISPID id) {
        VARIANT v;
        EXPECT_EQ(Get(dispatch_, id, &v), S_OK);
        EXPECT_EQ(v.vt, VT_BSTR);
        std::wstring text = v.vt == VT_BSTR && v.bstrVal ? v.bstrVal : L"";
        ::VariantClear(&v);
        return text;
    }
    bool GetBool(DISPID id) {
        VARIANT v;
        EXPECT_EQ(Get(dispatch_, id, &v), S_OK);
        EXPECT_EQ(v.vt, VT_BOOL);
        return v.boolVal != VARIANT_FALSE;
    }
    HRESULT PutText(DISPID id, const std::wstring& text, EXCEPINFO* exception = nullptr) {
        VARIANT v = TextValue(text);
        const HRESULT hr = Put(dispatch_, id, v, exception);
        ::VariantClear(&v);
        return hr;
    }

    IOleObject* object_ = nullptr;
    IDispatch* dispatch_ = nullptr;
    kestoral::TOleContainerSite* site_ = nullptr;
};

// Frees the strings of an EXCEPINFO when the test is done with it.
struct ExceptionInfo {
    EXCEPINFO info = {};
    ~ExceptionInfo() {
        ::SysFreeString(info.bstrSource);
        ::SysFreeString(info.bstrDescription);
        ::SysFreeString(info.bstrHelpFile);
    }
    std::wstring description() const { return info.bstrDescription ? info.bstrDescription : L""; }
};

}  // namespace

TEST_F(Dispatch, BadCallsGetTheirCOMErrors) {
    GiveSite();
    VARIANT result;
    EXPECT_EQ(Get(dispatch_, 4242, &result), DISP_E_MEMBERNOTFOUND) << "unknown DISPID";
    EXPECT_EQ(Put(dispatch_, 4242, BoolValue(true)), DISP_E_MEMBERNOTFOUND);

    UINT argumentError = 99;
    VARIANT words = TextValue(L"not a truth value");
    EXPECT_EQ(Put(dispatch_, kLoop, words, nullptr, &argumentError), DISP_E_TYPEMISMATCH) << "wrong type";
    EXPECT_EQ(argumentError, 0u);
    ::VariantClear(&words);
    EXPECT_TRUE(GetBool(kLoop)) << "a rejected put changed the value";

    EXPECT_EQ(Put(dispatch_, kTotalFrames, IntValue(3)), DISP_E_MEMBERNOTFOUND) << "read-only";

    DISPPARAMS unnamed = {nullptr, nullptr, 0, 0};
    VARIANT value = BoolValue(true);
    unnamed.rgvarg = &value;
    unnamed.cArgs = 1;
    EXPECT_EQ(dispatch_->Invoke(kLoop, IID_NULL, 0, DISPATCH_PROPERTYPUT, &unnamed, nullptr, nullptr, nullptr),
              DISP_E_PARAMNOTOPTIONAL)
        << "a put without DISPID_PROPERTYPUT";
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    EXPECT_EQ(dispatch_->Invoke(kLoop, IID_IDispatch, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);

    UINT count = 7;
    EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u) << "no type library";
}

TEST_F(Dispatch, NamesMapToTheFlashDispatchIds) {
    const wchar_t* names[] = {L"Movie", L"playing", L"LOOP", L"Menu", L"WMode", L"Scale", L"FrameNum", L"TotalFrames",
                              L"ReadyState"};
    const DISPID ids[] = {kMovie, kPlaying, kLoop, kMenu, kWMode, kScale, kFrameNum, kTotalFrames, kReadyState};
    for (size_t i = 0; i < sizeof ids / sizeof ids[0]; ++i) {
        LPOLESTR name = const_cast<LPOLESTR>(names[i]);
        DISPID id = 0;
        EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK) << i;
        EXPECT_EQ(id, ids[i]) << i;
    }
    LPOLESTR unknown = const_cast<LPOLESTR>(L"Volume");
    DISPID id = 0;
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, &unknown, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(Dispatch, PutBeforeTheClientSiteIsRejectedWithExceptionInfo) {
    ExceptionInfo exception;
    EXPECT_EQ(Put(dispatch_, kPlaying, BoolValue(false), &exception.info), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.info.scode, E_UNEXPECTED);
    EXPECT_FALSE(exception.description().empty());
    EXPECT_NE(exception.info.bstrSource, nullptr);
    EXPECT_TRUE(GetBool(kPlaying)) << "the rejected put took effect";

    GiveSite();
    EXPECT_EQ(Put(dispatch_, kPlaying, BoolValue(false)), S_OK);
    EXPECT_FALSE(GetBool(kPlaying));
}

TEST_F(Dispatch, PutsTakeEffectAndUnusableValuesAreRejected) {
    GiveSite();
    EXPECT_EQ(PutText(kScale, L"ExactFit"), S_OK);
    EXPECT_EQ(PutText(kWMode, L"Window"), S_OK);
    EXPECT_EQ(Put(dispatch_, kLoop, BoolValue(false)), S_OK);
    EXPECT_EQ(Put(dispatch_, kMenu, BoolValue(false)), S_OK);
    EXPECT_EQ(GetText(kScale), L"ExactFit");
    EXPECT_EQ(GetText(kWMode), L"Window");
    EXPECT_FALSE(GetBool(kLoop));
    EXPECT_FALSE(GetBool(kMenu));

    VARIANT number = IntValue(-1);  // VT_I4 -1 converts to a true VT_BOOL, as in VB
    EXPECT_EQ(Put(dispatch_, kLoop, number), S_OK);
    EXPECT_TRUE(GetBool(kLoop));

    ExceptionInfo scale;
    EXPECT_EQ(PutText(kScale, L"Sideways", &scale.info), DISP_E_EXCEPTION);
    EXPECT_EQ(scale.info.scode, E_INVALIDARG);
    EXPECT_NE(scale.description().find(L"Sideways"), std::wstring::npos) << "description names the value";
    EXPECT_EQ(GetText(kScale), L"ExactFit");
    ExceptionInfo mode;
    EXPECT_EQ(PutText(kWMode, L"Fullscreen", &mode.info), DISP_E_EXCEPTION);
    EXPECT_FALSE(mode.description().empty());
}

TEST_F(Dispatch, MoviePutLoadsLocalFilesAndRejectsWhatCannotPlay) {
    GiveSite();
    EXPECT_EQ(GetInt(kReadyState), 0);
    const std::wstring still = WriteTempFile(L"still.swf", StillMovie(400, 300, 10, 20, 30));
    EXPECT_EQ(PutText(kMovie, still), S_OK);
    EXPECT_EQ(GetText(kMovie), still);
    EXPECT_EQ(GetInt(kReadyState), 4);
    EXPECT_EQ(GetInt(kTotalFrames), 1);
    EXPECT_EQ(GetInt(kFrameNum), 0);

    ExceptionInfo missing;
    EXPECT_EQ(PutText(kMovie, L"C:\\no\\such\\movie.swf", &missing.info), DISP_E_EXCEPTION);
    EXPECT_EQ(missing.info.scode, STG_E_FILENOTFOUND);
    EXPECT_NE(missing.description().find(L"movie.swf"), std::wstring::npos);

    ExceptionInfo damaged;
    std::vector<uint8_t> broken = StillMovie(400, 300, 0, 0, 0);
    broken.resize(12);  // the header promises more than the file holds
    EXPECT_EQ(PutText(kMovie, WriteTempFile(L"broken.swf", broken), &damaged.info), DISP_E_EXCEPTION);
    EXPECT_FALSE(damaged.description().empty());

    ExceptionInfo remote;
    EXPECT_EQ(PutText(kMovie, L"http://example.com/a.swf", &remote.info), DISP_E_EXCEPTION);

    EXPECT_EQ(GetText(kMovie), still) << "a rejected movie replaced the playing one";
    EXPECT_EQ(GetInt(kReadyState), 4);

    // A file: URL names the same file; the empty string unloads.
    std::wstring url = L"file:///" + still;
    for (auto& c : url) {
        if (c == L'\\') c = L'/';
    }
    EXPECT_EQ(PutText(kMovie, url), S_OK);
    EXPECT_EQ(GetInt(kTotalFrames), 1);
    EXPECT_EQ(PutText(kMovie, L""), S_OK);
    EXPECT_EQ(GetInt(kReadyState), 0);
}
