// The DLL as COM sees it: exports, class factory, unload counting, and self-registration that
// never touches another server's registration of the Flash class id.
#include <windows.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "control_test_support.h"

using namespace control_test;

namespace {

const CLSID kFlashClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const char kClassKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";
const char kServerKey[] = "CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}\\InprocServer32";

// The default value of HKCR\<key>, or "<missing>".
std::string ClassesValue(const char* key, const char* name = nullptr) {
    char value[MAX_PATH] = "";
    LONG size = sizeof value;
    HKEY handle = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return "<missing>";
    DWORD type = 0, bytes = sizeof value;
    const LONG rc = ::RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes);
    ::RegCloseKey(handle);
    (void)size;
    return rc == ERROR_SUCCESS ? std::string(value) : "<missing>";
}

void DeleteClassKey() {
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kServerKey);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, (std::string(kClassKey) + "\\Control").c_str());
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kClassKey);
}

void RegisterForeignServer(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, kServerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()), DWORD(path.size() + 1));
    ::RegCloseKey(key);
}

std::string LowerCase(std::string text) {
    for (char& c : text) c = char(::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

TEST(ServerExports, AllFourExportedUnderPlainNames) {
    ASSERT_NE(Dll().module, nullptr) << "swfplayer-control.dll not loaded from " << BinDir();
    EXPECT_NE(Dll().getClassObject, nullptr);
    EXPECT_NE(Dll().canUnloadNow, nullptr);
    EXPECT_NE(Dll().registerServer, nullptr);
    EXPECT_NE(Dll().unregisterServer, nullptr);
}

TEST(ServerExports, FactoryServesOnlyTheFlashClassAndNoAggregation) {
    ASSERT_NE(Dll().getClassObject, nullptr);
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(Dll().getClassObject(IID_IDispatch, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(Dll().getClassObject(kFlashClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    IUnknown* outer = reinterpret_cast<IUnknown*>(factory);  // any non-null outer object
    IUnknown* inner = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(inner, nullptr);
    IClassFactory2* licensed = nullptr;
    IUnknown* control = nullptr;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory2, reinterpret_cast<void**>(&licensed)), E_NOINTERFACE);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&control)), S_OK);
    control->Release();
    factory->Release();
}

TEST(ServerExports, UnloadAllowedOnlyWithoutLiveObjectsOrLocks) {
    ASSERT_NE(Dll().canUnloadNow, nullptr);
    ASSERT_EQ(Dll().canUnloadNow(), S_OK);
    IOleObject* control = CreateControl();
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(Dll().canUnloadNow(), S_FALSE) << "a live control";
    control->Release();
    EXPECT_EQ(Dll().canUnloadNow(), S_OK);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(Dll().getClassObject(kFlashClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    EXPECT_EQ(Dll().canUnloadNow(), S_FALSE) << "a factory reference";
    factory->LockServer(TRUE);
    factory->Release();
    EXPECT_EQ(Dll().canUnloadNow(), S_FALSE) << "a server lock";
    ASSERT_EQ(Dll().getClassObject(kFlashClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    factory->LockServer(FALSE);
    factory->Release();
    EXPECT_EQ(Dll().canUnloadNow(), S_OK);
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Dll().registerServer, nullptr);
        DeleteClassKey();
    }
    void TearDown() override { DeleteClassKey(); }
};

TEST_F(Registration, RegistersThisDllRepeatablyAndUnregistersIt) {
    ASSERT_EQ(Dll().registerServer(), S_OK);
    const std::string dll = LowerCase(BinDir() + "swfplayer-control.dll");
    EXPECT_EQ(LowerCase(ClassesValue(kServerKey)), dll);
    EXPECT_EQ(ClassesValue(kServerKey, "ThreadingModel"), "Apartment");

    EXPECT_EQ(Dll().registerServer(), S_OK) << "a second registration";
    EXPECT_EQ(LowerCase(ClassesValue(kServerKey)), dll);

    // COM now finds it through the registry.
    IOleObject* object = nullptr;
    EXPECT_EQ(::CoCreateInstance(kFlashClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                 reinterpret_cast<void**>(&object)),
              S_OK);
    if (object) object->Release();

    EXPECT_EQ(Dll().unregisterServer(), S_OK);
    EXPECT_EQ(ClassesValue(kServerKey), "<missing>");
    EXPECT_EQ(ClassesValue(kClassKey), "<missing>");
    EXPECT_EQ(Dll().unregisterServer(), S_OK) << "nothing left to remove";
}

TEST_F(Registration, ForeignRegistrationIsNeitherReplacedNorRemoved) {
    const std::string original = "C:\\windows\\system32\\Macromed\\Flash\\original.ocx";
    RegisterForeignServer(original);

    EXPECT_EQ(Dll().registerServer(), SELFREG_E_CLASS);
    EXPECT_EQ(ClassesValue(kServerKey), original);
    EXPECT_EQ(ClassesValue(kServerKey, "ThreadingModel"), "<missing>") << "something was written";

    EXPECT_EQ(Dll().unregisterServer(), S_FALSE);
    EXPECT_EQ(ClassesValue(kServerKey), original);
}

TEST_F(Registration, ClassKeyWithoutAnyServerIsFreeToTake) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, kClassKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    EXPECT_EQ(Dll().registerServer(), S_OK);
    EXPECT_EQ(LowerCase(ClassesValue(kServerKey)), LowerCase(BinDir() + "swfplayer-control.dll"));
}
