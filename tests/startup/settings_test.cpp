// Start-up state and the settings store, against the registry of the test's own Wine prefix.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include "file_system.h"
#include "global.h"

using namespace kestoral;

namespace {

const char kUserKey[] = "Software\\OrvinSoftware\\MarvaneScreenSaver";
const char kMachineKey[] = "SOFTWARE\\OrvinSoftware\\MarvaneScreenSaver";

void SetValue(HKEY root, const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr), ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExA(k, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(k);
}

void SetString(HKEY root, const std::string& key, const char* name, const std::string& text, DWORD type = REG_SZ) {
    SetValue(root, key, name, type, text.c_str(), DWORD(text.size() + 1));
}

void SetDword(HKEY root, const std::string& key, const char* name, DWORD value) {
    SetValue(root, key, name, REG_DWORD, &value, sizeof value);
}

void SetGeneral(const char* name, const std::string& text) {
    SetString(HKEY_CURRENT_USER, std::string(kUserKey) + "\\OptGeneral", name, text);
}

// The stored value and its type; type 0 when absent.
std::pair<DWORD, std::string> Stored(const std::string& section, const char* name) {
    HKEY k = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kUserKey) + "\\" + section).c_str(), 0, KEY_READ, &k))
        return {0, ""};
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1, type = 0;
    const LONG status = ::RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    ::RegCloseKey(k);
    if (status != ERROR_SUCCESS) return {0, ""};
    return {type, type == REG_SZ ? std::string(buffer) : std::string()};
}

bool KeyExists(HKEY root, const char* key) {
    HKEY k = nullptr;
    if (::RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    ::RegCloseKey(k);
    return true;
}

std::string Lower(std::string s) {
    ::CharLowerBuffA(&s[0], DWORD(s.size()));
    return s;
}

// A scratch folder with an existing movie file, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        char base[MAX_PATH];
        ::GetTempPathA(MAX_PATH, base);
        path_ = std::string(base) + "KestoralTest" + std::to_string(::GetTickCount()) + "\\";
        ::CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const auto& f : files_) ::DeleteFileA(f.c_str());
        ::RemoveDirectoryA(path_.c_str());
    }
    std::string File(const std::string& name) {
        const std::string full = path_ + name;
        HANDLE h = ::CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ::CloseHandle(h);
        files_.push_back(full);
        return full;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::vector<std::string> files_;
};

class Settings_ : public ::testing::Test {
protected:
    void SetUp() override {
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\OrvinSoftware");
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\OrvinSoftware");
        Settings = TIniFileRec();
        InstallDir.clear();
        SettingsKey.clear();
    }
    void TearDown() override { SetUp(); }

    const TOptGeneralRec& General() const { return Settings.Options.OptGeneral; }
    std::string ProgramFolderLower() const { return Lower(ExtractFilePath(ProgramPath())); }
};

}  // namespace

TEST_F(Settings_, FirstRunUsesProgramFolderAndDefaultMovie) {
    InitGlobal();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kUserKey)) << "the load creates the per-user key";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kMachineKey)) << "the machine-wide key is never created";
    EXPECT_EQ(InstallDir, ProgramFolderLower());
    EXPECT_EQ(InstallDir.back(), '\\');
    EXPECT_EQ(General().sMovieDirectory, InstallDir + "swf\\");
    EXPECT_EQ(General().sMovieName, "Default.swf");
    EXPECT_EQ(Settings.iRelease, 1500);
    EXPECT_TRUE(VersionInfoOk);
    EXPECT_EQ(SettingsKey, "\\Software\\OrvinSoftware\\MarvaneScreenSaver");
}

TEST_F(Settings_, InstallFolderFromMachineKey) {
    TempFolder folder;  // e.g. C:\users\...\Temp\KestoralTest123\ (case as created)
    std::string withoutSlash = folder.path().substr(0, folder.path().size() - 1);
    // Mixed case is kept as stored.
    std::string mixed = withoutSlash;
    mixed[mixed.size() - 3] = 'X';
    ::CreateDirectoryA(mixed.c_str(), nullptr);
    SetString(HKEY_LOCAL_MACHINE, kMachineKey, "Install_Dir", mixed);
    InitGlobal();
    EXPECT_EQ(InstallDir, mixed + "\\");

    // A stored trailing backslash is doubled, and the doubled path still names the folder.
    SetString(HKEY_LOCAL_MACHINE, kMachineKey, "Install_Dir", mixed + "\\");
    InitGlobal();
    EXPECT_EQ(InstallDir, mixed + "\\\\");

    // REG_EXPAND_SZ is read as stored.
    SetString(HKEY_LOCAL_MACHINE, kMachineKey, "Install_Dir", mixed, REG_EXPAND_SZ);
    InitGlobal();
    EXPECT_EQ(InstallDir, mixed + "\\");
    ::RemoveDirectoryA(mixed.c_str());
}

TEST_F(Settings_, InstallFolderFallbacks) {
    // Key without the value: a single backslash, the root of the current drive, which exists.
    SetString(HKEY_LOCAL_MACHINE, kMachineKey, "Other", "x");
    InitGlobal();
    EXPECT_EQ(InstallDir, "\\");
    EXPECT_EQ(General().sMovieDirectory, "\\swf\\");

    // An empty value gives the same.
    SetString(HKEY_LOCAL_MACHINE, kMachineKey, "Install_Dir", "");
    InitGlobal();
    EXPECT_EQ(InstallDir, "\\");

    // A value that is not a string, or a folder that does not exist: the program's folder.
    SetDword(HKEY_LOCAL_MACHINE, kMachineKey, "Install_Dir", 7);
    InitGlobal();
    EXPECT_EQ(InstallDir, ProgramFolderLower());

    SetString(HKEY_LOCAL_MACHINE, kMachineKey, "Install_Dir", "C:\\No\\Such\\Folder");
    InitGlobal();
    EXPECT_EQ(InstallDir, ProgramFolderLower());
}

TEST_F(Settings_, StoredMovieIsKeptOnlyWhileItsFileExists) {
    TempFolder folder;
    folder.File("Waves.swf");
    SetGeneral("sMovieDirectory", folder.path());
    SetGeneral("sMovieName", "Waves.swf");
    InitGlobal();
    EXPECT_EQ(General().sMovieDirectory, folder.path());
    EXPECT_EQ(General().sMovieName, "Waves.swf");

    // Deleted file: folder and name both replaced, though the folder still exists.
    SetGeneral("sMovieName", "Gone.swf");
    InitGlobal();
    EXPECT_EQ(General().sMovieDirectory, InstallDir + "swf\\");
    EXPECT_EQ(General().sMovieName, "Default.swf");

    // Empty name (the path is the folder) and wildcards do not count as a movie.
    for (const char* name : {"", "*.swf", "W?ves.swf"}) {
        SetGeneral("sMovieName", name);
        InitGlobal();
        EXPECT_EQ(General().sMovieName, "Default.swf") << "name '" << name << "'";
    }
}

TEST_F(Settings_, BooleansKeepTheLowEightBits) {
    const std::pair<const char*, int> cases[] = {{"1", 1}, {"0", 0}, {"word", 0}, {"", 0},
                                                 {"256", 0}, {"-1", 255}, {"257", 1}, {" 2", 2}};
    for (const auto& [text, expected] : cases) {
        SetGeneral("bMovieRandom", text);
        Settings = TIniFileRec();
        InitGlobal();
        EXPECT_EQ(General().bMovieRandom, expected) << "stored '" << text << "'";
    }
}

TEST_F(Settings_, NonStringValueStopsTheLoad) {
    TempFolder folder;
    folder.File("Waves.swf");
    SetGeneral("sMovieDirectory", folder.path());
    SetGeneral("sMovieName", "Waves.swf");
    SetDword(HKEY_CURRENT_USER, std::string(kUserKey) + "\\Version", "bInstallOk", 1);

    SettingsKey = "\\Software\\OrvinSoftware\\MarvaneScreenSaver";
    VersionInfo.wRelease = 1500;
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(Settings.iRelease, 1500) << "the release number is set before anything is read";
    EXPECT_EQ(General().sMovieName, "") << "nothing after the failed read is read";

    InitGlobal();
    EXPECT_EQ(General().sMovieName, "Default.swf");
    EXPECT_EQ(Settings.bInstallOk, 0);

    // A later save writes a string in its place.
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Stored("Version", "bInstallOk"), std::make_pair(DWORD(REG_SZ), std::string("0")));
}

TEST_F(Settings_, SaveWritesTheWholeRecordAsStrings) {
    InitGlobal();
    Settings.bInstallOk = 200;
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(Stored("Version", "iRelease"), std::make_pair(DWORD(REG_SZ), std::string("1500")));
    EXPECT_EQ(Stored("Version", "bInstallOk"), std::make_pair(DWORD(REG_SZ), std::string("200")));
    EXPECT_EQ(Stored("OptGeneral", "sMovieDirectory"), std::make_pair(DWORD(REG_SZ), InstallDir + "swf\\"));
    EXPECT_EQ(Stored("OptGeneral", "sMovieName"), std::make_pair(DWORD(REG_SZ), std::string("Default.swf")));
    EXPECT_EQ(Stored("OptGeneral", "bMovieRandom"), std::make_pair(DWORD(REG_SZ), std::string("0")));

    // What was saved loads back; iRelease is never loaded (it comes from the version block).
    SetString(HKEY_CURRENT_USER, std::string(kUserKey) + "\\Version", "iRelease", "77");
    Settings = TIniFileRec();
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(Settings.bInstallOk, 200);
    EXPECT_EQ(Settings.iRelease, 1500);
    EXPECT_EQ(General().sMovieName, "Default.swf");
}

TEST_F(Settings_, StringReadStopsAtFirstNulAndKeepsExpandText) {
    const std::string withNul("Wav\0es.swf", 10);
    SetValue(HKEY_CURRENT_USER, std::string(kUserKey) + "\\OptGeneral", "sMovieName", REG_SZ, withNul.data(),
             DWORD(withNul.size() + 1));
    SetString(HKEY_CURRENT_USER, std::string(kUserKey) + "\\OptGeneral", "sMovieDirectory", "%TEMP%\\", REG_EXPAND_SZ);
    SettingsKey = "\\Software\\OrvinSoftware\\MarvaneScreenSaver";
    EXPECT_TRUE(LoadSettings());
    EXPECT_EQ(General().sMovieName, "Wav");
    EXPECT_EQ(General().sMovieDirectory, "%TEMP%\\");
}
