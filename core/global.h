// Program-wide state: install folder, settings record, version information and run flags,
// gathered once at start-up by InitGlobal() before the command line is looked at.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "orvin_info.h"

namespace kestoral {

struct TOptGeneralRec {
    std::string sMovieDirectory;  // ends with a backslash; joined with sMovieName as is
    std::string sMovieName;       // file name only
    uint8_t bMovieRandom = 0;     // any value but 0 counts as true
};

struct TOptionsRec {
    TOptGeneralRec OptGeneral;
};

struct TIniFileRec {
    uint8_t bInstallOk = 0;  // loaded and written back unchanged
    int32_t iRelease = 0;    // release number of the running program; saved, never loaded
    TOptionsRec Options;
};

extern std::string InstallDir;  // ends with a backslash after start-up
extern std::string SettingsKey;
extern TIniFileRec Settings;
extern bool VersionInfoOk;
extern TOrvinVersionInfo VersionInfo;
extern bool bWinNT;
extern bool bPreview;
extern HWND hPreviewParent;
extern bool bUsePassword;

// Start-up: platform and password flags, version information, install folder, settings, and
// the default movie in place of a stored one that does not exist. Runs once, first.
void InitGlobal();

// Loads the settings record from the per-user key; true when every value was read.
bool LoadSettings();

// Writes the whole settings record to the per-user key; true when every value was written.
bool SaveSettings();

}  // namespace kestoral
