// The working folder of the window program where no launcher prepares it
// (on Windows; on Linux the launcher script does the same before it starts
// the program). The program reads and writes only its working folder, so at
// its start it moves into one of two:
//
// - the folder of the .exe itself when the marker file "korvin4.portable"
//   lies beside it (the portable zip, a USB stick): the pictures and book
//   are there already and nothing is copied;
// - otherwise the user's own folder, "Korvin 4" in the user's local
//   application data, made if missing. The shipped pictures and book (the
//   folder "assets" beside the .exe in the installation) are copied into it
//   when missing there or older there, so an updated installation brings
//   its new files. "korvin.kga" and "korvin.cfg", the user's game and
//   settings, are never copied over, and nothing at all is copied while
//   another Korvin 4 holds the folder: the program started now then hands
//   its request to that one.
#pragma once

#include <string>
#include <vector>

// The name of the marker file of a portable Korvin 4.
inline constexpr const char* kPortableMarker = "korvin4.portable";

// Makes the working folder current, after naming `openPath` (a game file
// given on the command line, "" for none) absolutely against the folder the
// program was started in. False when the program cannot run, with the lines
// of a message for the user in `message`.
bool EnterUserFolder(std::string& openPath, std::vector<std::string>& message);

// Copies each file of `assets` (not its sub-folders) into `folder` when it
// is missing there or the copy there is older, keeping the shipped file's
// time; "korvin.kga" and "korvin.cfg" are left out whatever their case. A
// copy is written under a temporary name first and then takes its name, so
// an interrupted copy never leaves a damaged file that looks up to date.
// False at the first file that cannot be copied, or when a folder has the
// name of a shipped file, with the reason for the user in `error`.
bool CopyShippedFiles(const std::string& assets, const std::string& folder, std::string& error);
