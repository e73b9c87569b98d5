#include "global.h"

#include <vector>

#include "file_system.h"
#include "password.h"
#include "rcstring.h"
#include "registry.h"
#include "str_to_int.h"

namespace kestoral {

std::string InstallDir;
std::string SettingsKey;
TIniFileRec Settings;
bool VersionInfoOk = false;
TOrvinVersionInfo VersionInfo;
bool bWinNT = false;
bool bPreview = false;
HWND hPreviewParent = nullptr;
bool bUsePassword = false;

namespace {

const char kVersionSection[] = "Version";
const char kGeneralSection[] = "OptGeneral";

std::string LowerCase(std::string text) {
    if (!text.empty()) ::CharLowerBuffA(&text[0], DWORD(text.size()));
    return text;
}

// Reads one value of a section (a subkey of the settings key). A missing section or value gives
// `fallback`; a value that is not a string fails the read and leaves `text` unchanged.
bool ReadSectionString(HKEY settings, const char* section, const char* name, const std::string& fallback,
                       std::string& text) {
    RegKey sectionKey;
    if (!OpenRegistryKey(settings, section, sectionKey)) {
        text = fallback;
        return true;
    }
    std::string stored;
    switch (ReadRegistryString(sectionKey.get(), name, stored)) {
        case RegistryRead::Ok: text = stored; return true;
        case RegistryRead::Missing: text = fallback; return true;
        case RegistryRead::Failed: break;
    }
    return false;
}

// Integer reads parse the stored text; text that does not parse gives the default.
bool ReadSectionInteger(HKEY settings, const char* section, const char* name, int32_t fallback,
                        int32_t& value) {
    std::string text;
    if (!ReadSectionString(settings, section, name, std::string(), text)) return false;
    int32_t parsed = fallback;
    value = TryStrToInt(text, parsed) ? parsed : fallback;
    return true;
}

// Booleans are stored as numbers and keep the low eight bits ("256" reads as false, "-1" as 255).
bool ReadSectionByte(HKEY settings, const char* section, const char* name, uint8_t& value) {
    int32_t number = 0;
    if (!ReadSectionInteger(settings, section, name, 0, number)) return false;
    value = uint8_t(number & 0xFF);
    return true;
}

bool WriteSectionString(HKEY settings, const char* section, const char* name, const std::string& text) {
    RegKey sectionKey;
    return CreateRegistryKey(settings, section, sectionKey) &&
           WriteRegistryString(sectionKey.get(), name, text);
}

// Install_Dir from the machine-wide key, with one backslash appended; empty when the key is
// missing or the value is not a string; a single backslash when the value is absent.
std::string InstallDirFromRegistry() {
    RegKey machineKey;
    if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, LoadResString(IDS_MACHINE_KEY), machineKey)) return {};
    std::string folder;
    switch (ReadRegistryString(machineKey.get(), LoadResString(IDS_INSTALL_DIR_VALUE), folder)) {
        case RegistryRead::Ok: return folder + "\\";
        case RegistryRead::Missing: return "\\";
        case RegistryRead::Failed: break;
    }
    return {};
}

}  // namespace

bool LoadSettings() {
    Settings.iRelease = VersionInfo.wRelease;

    RegKey settingsKey;
    if (!CreateRegistryKey(HKEY_CURRENT_USER, SettingsKey, settingsKey)) return false;
    const HKEY key = settingsKey.get();
    TOptGeneralRec& general = Settings.Options.OptGeneral;
    return ReadSectionByte(key, kVersionSection, "bInstallOk", Settings.bInstallOk) &&
           ReadSectionString(key, kGeneralSection, "sMovieDirectory", std::string(), general.sMovieDirectory) &&
           ReadSectionString(key, kGeneralSection, "sMovieName", std::string(), general.sMovieName) &&
           ReadSectionByte(key, kGeneralSection, "bMovieRandom", general.bMovieRandom);
}

bool SaveSettings() {
    RegKey settingsKey;
    if (!CreateRegistryKey(HKEY_CURRENT_USER, SettingsKey, settingsKey)) return false;
    const HKEY key = settingsKey.get();
    const TOptGeneralRec& general = Settings.Options.OptGeneral;
    return WriteSectionString(key, kVersionSection, "iRelease", std::to_string(Settings.iRelease)) &&
           WriteSectionString(key, kVersionSection, "bInstallOk", std::to_string(Settings.bInstallOk)) &&
           WriteSectionString(key, kGeneralSection, "sMovieDirectory", general.sMovieDirectory) &&
           WriteSectionString(key, kGeneralSection, "sMovieName", general.sMovieName) &&
           WriteSectionString(key, kGeneralSection, "bMovieRandom", std::to_string(general.bMovieRandom));
}

void InitGlobal() {
    DetectWinNT();
    ReadUsePassword();
    VersionInfoOk = ReadVersionInfo(VersionInfo);

    InstallDir = InstallDirFromRegistry();
    if (!DirectoryExists(InstallDir)) InstallDir = LowerCase(ExtractFilePath(ProgramPath()));

    SettingsKey = LoadResString(IDS_SETTINGS_KEY);
    LoadSettings();

    TOptGeneralRec& general = Settings.Options.OptGeneral;
    if (!FileExists(general.sMovieDirectory + general.sMovieName)) {
        general.sMovieDirectory = InstallDir + LoadResString(IDS_DEFAULT_MOVIE_FOLDER) + "\\";
        general.sMovieName = LoadResString(IDS_DEFAULT_MOVIE);
    }
}

}  // namespace kestoral
