// The version reader: the program's own block, neighbouring values of odd and even length, blocks
// cut short, and modules without a block.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "file_system.h"
#include "orvin_info.h"
#include "version.h"
#include "version_block_builder.h"

using namespace kestoral;
using kestoral_test::BuildVersionBlock;
using kestoral_test::VersionTexts;

namespace {

VersionTexts ProgramTexts() {
    VersionTexts t;
    t.entries = {{"CompanyName", KESTORAL_COMPANY_NAME},
                 {"FileDescription", KESTORAL_FILE_DESCRIPTION},
                 {"FileVersion", KESTORAL_FILE_VERSION_TEXT},
                 {"InternalName", KESTORAL_INTERNAL_NAME},
                 {"LegalCopyright", KESTORAL_LEGAL_COPYRIGHT},
                 {"LegalTrademarks", ""},
                 {"OriginalFilename", KESTORAL_ORIGINAL_FILENAME},
                 {"ProductName", KESTORAL_PRODUCT_NAME},
                 {"ProductVersion", KESTORAL_PRODUCT_VERSION_TEXT},
                 {"Comments", KESTORAL_COMMENTS}};
    return t;
}

void ExpectProgramValues(const TOrvinVersionInfo& v) {
    EXPECT_EQ(v.wMajor, 1);
    EXPECT_EQ(v.wMinor, 5);
    EXPECT_EQ(v.wRelease, 1500);
    EXPECT_EQ(v.wBuild, 0);
    EXPECT_EQ(v.sLangCodePage, "040904E4");
    EXPECT_EQ(v.sCompanyName, KESTORAL_COMPANY_NAME);
    EXPECT_EQ(v.sFileDescription, "Flash(TM) Movies as Screensavers.");
    EXPECT_EQ(v.sFileVersion, "1.5.1500.0");
    EXPECT_EQ(v.sInternalName, "KESTORAL");
    EXPECT_EQ(v.sLegalCopyright, KESTORAL_LEGAL_COPYRIGHT);
    EXPECT_EQ(v.sLegalTrademarks, "");
    EXPECT_EQ(v.sOriginalFilename, "KESTORAL.SCR");
    EXPECT_EQ(v.sProductName, "Marvane - Screensaver");
    EXPECT_EQ(v.sProductVersion, "2004.07");
    EXPECT_EQ(v.sComments, KESTORAL_COMMENTS);
}

std::string BinFolder() { return ExtractFilePath(ProgramPath()); }

// The version resource of a module loaded as data, as raw bytes.
std::vector<uint8_t> ResourceBytes(HMODULE module) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));
    if (!found) return {};
    const auto* p = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, found)));
    return std::vector<uint8_t>(p, p + ::SizeofResource(module, found));
}

// Memory whose end is followed by a page that cannot be read: parsing a block placed right
// before it crashes on any read past the block's end.
class GuardedBuffer {
public:
    explicit GuardedBuffer(const std::vector<uint8_t>& bytes) {
        SYSTEM_INFO info;
        ::GetSystemInfo(&info);
        const size_t page = info.dwPageSize;
        const size_t pages = (bytes.size() + page - 1) / page + 1;
        base_ = static_cast<uint8_t*>(::VirtualAlloc(nullptr, pages * page, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(base_ + (pages - 1) * page, page, PAGE_NOACCESS, &old);
        data_ = base_ + (pages - 1) * page - bytes.size();
        if (!bytes.empty()) std::memcpy(data_, bytes.data(), bytes.size());
    }
    ~GuardedBuffer() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    const uint8_t* data() const { return data_; }

private:
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
};

}  // namespace

TEST(VersionInfo, ProgramBlockGivesItsTexts) {
    HMODULE program = ::LoadLibraryExA((BinFolder() + "kestoral.scr").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program != nullptr) << "kestoral.scr not found next to the test";
    TOrvinVersionInfo info;
    EXPECT_TRUE(ReadVersionInfoFrom(program, info));
    ExpectProgramValues(info);

    // The builder lays blocks out exactly as the resource compiler did for the program.
    EXPECT_EQ(ResourceBytes(program), BuildVersionBlock(ProgramTexts()));
    ::FreeLibrary(program);
}

TEST(VersionInfo, RunningProgramReadsItsOwnBlock) {
    TOrvinVersionInfo info;
    info.sComments = "stale";
    EXPECT_TRUE(ReadVersionInfo(info));
    ExpectProgramValues(info);
}

TEST(VersionInfo, WalkResynchronisesAfterValuesOfEitherParity) {
    for (const char* company : {"", "A", "AB", "ABC", "Orvin Softwar", "Orvin Softwares"}) {
        for (const char* trademarks : {"", "T", "TM"}) {
            VersionTexts texts = ProgramTexts();
            texts.entries[0].second = company;
            texts.entries[5].second = trademarks;
            const auto block = BuildVersionBlock(texts);
            TOrvinVersionInfo info;
            ASSERT_TRUE(ParseVersionBlock(block.data(), block.size(), info));
            EXPECT_EQ(info.sCompanyName, company);
            EXPECT_EQ(info.sLegalTrademarks, trademarks) << "company '" << company << "'";
            EXPECT_EQ(info.sFileDescription, KESTORAL_FILE_DESCRIPTION) << "company '" << company << "'";
            EXPECT_EQ(info.sOriginalFilename, "KESTORAL.SCR") << "company '" << company << "'";
            EXPECT_EQ(info.sProductName, "Marvane - Screensaver") << "company '" << company << "'";
            EXPECT_EQ(info.sComments, KESTORAL_COMMENTS) << "company '" << company << "'";
        }
    }
}

TEST(VersionInfo, BlockCutShortIsNeverReadPastItsEnd) {
    const auto whole = BuildVersionBlock(ProgramTexts());
    for (size_t size = 0; size <= whole.size(); size += 2) {
        std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(size));
        GuardedBuffer guarded(cut);
        TOrvinVersionInfo info;
        const bool ok = ParseVersionBlock(guarded.data(), size, info);
        if (size < 92) {
            EXPECT_FALSE(ok) << size;
            EXPECT_EQ(info.wRelease, 0) << size;
        } else {
            EXPECT_TRUE(ok) << size;
            EXPECT_EQ(info.wRelease, 1500) << size;
        }
    }
    // A block whose last text has no terminating NUL.
    auto noNul = whole;
    while (!noNul.empty() && noNul.back() == 0) noNul.pop_back();
    GuardedBuffer guarded(noNul);
    TOrvinVersionInfo info;
    EXPECT_TRUE(ParseVersionBlock(guarded.data(), noNul.size(), info));
}

TEST(VersionInfo, ModuleWithoutBlockClearsTheRecord) {
    HMODULE bare = ::LoadLibraryExA((BinFolder() + "no_version.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(bare != nullptr);
    TOrvinVersionInfo info;
    info.wMajor = 9;
    info.sProductName = "stale";
    EXPECT_FALSE(ReadVersionInfoFrom(bare, info));
    EXPECT_EQ(info.wMajor, 0);
    EXPECT_EQ(info.sProductName, "");
    ::FreeLibrary(bare);
}
