// Fixture pieces for the release step of the installation: a release in the
// distribution's backup tree and the updater's release information file.
#pragma once

#include <string>

namespace testsupport {

// Lays out under folder (a distribution, ending in "\") the release
// "backup\" + release with an Install.cmd that writes "installed.mark" in its
// current folder and ends with exitCode, and "Updater\ReleaseInfo" of version
// 1 with level 000000.
void MakeReleaseSources(const std::wstring& folder, const std::wstring& release = L"R010115", int exitCode = 0);

// The text of a ReleaseInfo file of that version and level, declared as
// windows-1251 (the characters used are ASCII).
std::string ReleaseInfoXml(int version, const std::wstring& level);

// Puts the process's current folder back when it dies: the release step
// leaves the destination as the current folder, which could then not be
// removed.
class CurrentFolderKept {
public:
    CurrentFolderKept();
    ~CurrentFolderKept();
    CurrentFolderKept(const CurrentFolderKept&) = delete;
    CurrentFolderKept& operator=(const CurrentFolderKept&) = delete;

private:
    std::wstring saved_;
};

}  // namespace testsupport
