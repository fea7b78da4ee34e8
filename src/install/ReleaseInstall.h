// The release step of the installation: the backup and updater copies, the
// choice of the newest release, its Install.cmd, and the release level in
// the release information file ReleaseInfo.
//
// Release folders are the sub-folders of D + "backup\" (not "WithOutAnswer",
// not hidden or system ones), known by their full paths without a trailing
// "\". A release's key is read from the last six characters of that path,
// taken as three pairs in reverse order: "...R010115" gives 150101, so
// names ending in day, month and year compare in date order. Its level is the
// folder's name without its first character ("R010115" -> "010115").
#pragma once

#include <string>
#include <vector>

// Runs the release step for the distribution folder S and the destination
// folder D (both ending in "\"):
//  1. D + "backup" is created when missing, S + "backup" copied onto it and
//     the content of S + "Updater" copied into D itself (copy failures are
//     not reported);
//  2. the read-only attribute of D + "ReleaseInfo" and D + "Updater.exe.cfg"
//     is cleared;
//  3. the release with the greatest key is chosen (among equal keys the one
//     that sorts first), its Install.cmd run in its own folder and waited
//     for (its exit code is not examined), and D made the current folder;
//  4. its level is written with WriteReleaseLevel.
// Raises platform::EListError when there is no release, platform::EConvertError
// for a release name that gives no key, the error of RunAndWait when
// Install.cmd cannot be started, and the errors of WriteReleaseLevel.
void InstallRelease(const std::wstring& distribution, const std::wstring& destination);

// Sorts release folders ascending, by the user's locale and without regard
// to letter case (stable: equal names keep their order).
void SortReleaseFolders(std::vector<std::wstring>& folders);

// The key of a release folder; raises platform::EConvertError naming the key
// text when it is not six decimal digits.
int ReleaseKey(const std::wstring& releaseFolder);

// The first release folder with the greatest key, in list order. Raises
// platform::EListError for an empty list and platform::EConvertError as
// ReleaseKey does.
std::wstring ChooseRelease(const std::vector<std::wstring>& folders);

// The level of a release folder: its name without the first character.
std::wstring ReleaseLevel(const std::wstring& releaseFolder);

// Replaces the text of ROOT/Level in folder + "ReleaseInfo" (folder ends in
// "\") by level, through the system's XML document object. The file must
// hold ROOT/Version 1. Its declaration, encoding and layout are kept.
// Raises platform::Exception with
//   "Release info file does not exist" when the file is missing,
//   "Cannot get release information, error: unknown release file version"
//     when Version is missing or not 1 (the file is left unchanged),
//   "Cannot get release information, error: " + cause for every other
//     failure (not well-formed, no ROOT or Level, not writable).
void WriteReleaseLevel(const std::wstring& folder, const std::wstring& level);
