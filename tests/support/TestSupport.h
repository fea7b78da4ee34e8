// Helpers shared by the test programs.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// A new empty folder under %TEMP%, removed with everything in it when the object dies.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    // The folder, ending in "\".
    const std::wstring& path() const { return path_; }
    // path() + relative name.
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

private:
    std::wstring path_;
};

// Removes a folder tree (read-only, hidden and system attributes cleared first).
void RemoveTree(const std::wstring& path);
// Creates a folder and all missing parents.
void MakeDirs(const std::wstring& path);
// Writes bytes / reads bytes of a whole file. ReadFileBytes fails the test when the file is missing.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
bool DirExists(const std::wstring& path);
// Copies a folder tree (files and sub-folders, attributes kept).
void CopyTree(const std::wstring& from, const std::wstring& to);

// An environment variable, empty when unset.
std::wstring Env(const wchar_t* name);
// The Windows form (Z:\...) of a Unix path handed in through the environment.
std::wstring FromUnixPath(const std::wstring& unixPath);
// The build folder (Windows form, ending in "\"), from HOLTER_BUILD_DIR.
std::wstring BuildDir();
// The source folder (Windows form, ending in "\"), from HOLTER_SOURCE_DIR.
std::wstring SourceDir();

// UTF-8 <-> UTF-16.
std::string ToUtf8(const std::wstring& s);
std::wstring FromUtf8(const std::string& s);

}  // namespace testsupport
