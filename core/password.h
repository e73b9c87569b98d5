// The operating system's screen-saver password: change it (run mode A) and ask it before a
// full-screen show closes. Only the Windows 95 family has these services; on NT the system's own
// lock screen does the job and the program never asks.
#pragma once

namespace kestoral {

void DetectWinNT();        // sets bWinNT
void ReadUsePassword();    // sets bUsePassword (never on NT)
void ChangePassword();     // argument 2 is the owner window
bool PasswordAllowsClose();
bool VerifyPassword();

}  // namespace kestoral
