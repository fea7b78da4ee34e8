#include "install/FileCopy.h"

#include <windows.h>

#include <memory>

#include "platform/Exceptions.h"
#include "platform/Handles.h"

using platform::FileHandle;
using platform::FindHandle;

namespace {

// Bytes moved per read and write. Large enough that the system calls cost
// nothing next to the data, small enough that a progress callback comes at
// least every few tens of milliseconds on an ordinary disk.
constexpr DWORD kCopyChunk = 1024 * 1024;

// The attributes that SetFileAttributesW accepts.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

[[noreturn]] void RaiseOpenError(const std::wstring& path, DWORD code) {
    throw platform::EFOpenError(L"Не удается открыть файл \"" + path + L"\". " + platform::SysErrorMessage(code));
}

[[noreturn]] void RaiseCreateError(const std::wstring& path, DWORD code) {
    throw platform::EFCreateError(L"Не удается создать файл \"" + path + L"\". " + platform::SysErrorMessage(code));
}

// The folder part of a path, with its trailing delimiter; empty for a bare name.
std::wstring FolderOf(const std::wstring& path) {
    size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

// Writes the attribute set back; SetFileAttributesW reads 0 as "leave as it is",
// so an empty set is spelled FILE_ATTRIBUTE_NORMAL.
BOOL WriteAttributes(const std::wstring& path, DWORD attributes) {
    attributes &= kSettableAttributes;
    return SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

// A file's last-write time taken through the MS-DOS date-time form of local
// time: whole even seconds, as the suite's programs compare it.
bool DosRoundedLastWriteTime(HANDLE file, FILETIME& result) {
    FILETIME written, local;
    WORD dosDate = 0, dosTime = 0;
    if (!GetFileTime(file, nullptr, nullptr, &written)) return false;
    if (!FileTimeToLocalFileTime(&written, &local)) return false;
    if (!FileTimeToDosDateTime(&local, &dosDate, &dosTime)) return false;  // outside 1980..2107
    if (!DosDateTimeToFileTime(dosDate, dosTime, &local)) return false;
    return LocalFileTimeToFileTime(&local, &result) != FALSE;
}

// The temporary file that receives the copy. It is removed when the object
// dies unless Commit has put it in place of the target.
class TemporaryCopy {
public:
    TemporaryCopy() = default;
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    ~TemporaryCopy() {
        file_.reset();
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }

    // Creates a new file with a name of its own in folder. Returns the system
    // error code, ERROR_SUCCESS when the file exists and is open for writing.
    DWORD Create(const std::wstring& folder) {
        static LONG counter = 0;
        DWORD seed = GetCurrentProcessId() * 0x10001u ^ GetTickCount();
        for (int attempt = 0; attempt < 1000; ++attempt) {
            wchar_t name[32];
            unsigned number = static_cast<unsigned>(seed + static_cast<DWORD>(InterlockedIncrement(&counter)) * 7919u);
            wsprintfW(name, L"~copy-%08x.tmp", number);
            std::wstring path = folder + name;
            file_.reset(CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            if (file_) {
                path_ = path;
                return ERROR_SUCCESS;
            }
            DWORD err = GetLastError();
            if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) return err;
        }
        return ERROR_FILE_EXISTS;
    }

    HANDLE Handle() const { return file_.get(); }
    const std::wstring& Path() const { return path_; }
    void Close() { file_.reset(); }

    // Renames the closed temporary file to target (replacing it when replace is
    // set). False when the system refused; the temporary file is then removed.
    bool Commit(const std::wstring& target, bool replace) {
        file_.reset();
        if (!MoveFileExW(path_.c_str(), target.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0)) return false;
        path_.clear();
        return true;
    }

private:
    FileHandle file_;
    std::wstring path_;
};

// Copies exactly total bytes from source to target's current position.
bool CopyContent(HANDLE source, HANDLE target, std::uint64_t total, const CopyProgress& progress) {
    // Reserving the full length first keeps the file in one piece on disk and
    // tells at once when it cannot fit.
    LARGE_INTEGER size, start{};
    size.QuadPart = static_cast<LONGLONG>(total);
    if (total > 0) {
        if (!SetFilePointerEx(target, size, nullptr, FILE_BEGIN) || !SetEndOfFile(target) ||
            !SetFilePointerEx(target, start, nullptr, FILE_BEGIN))
            return false;
    }
    std::unique_ptr<char[]> buffer(new char[kCopyChunk]);
    std::uint64_t done = 0;
    while (done < total) {
        std::uint64_t rest = total - done;
        DWORD want = rest < kCopyChunk ? static_cast<DWORD>(rest) : kCopyChunk;
        DWORD got = 0, put = 0;
        if (!ReadFile(source, buffer.get(), want, &got, nullptr) || got == 0) return false;  // read error or the file shrank
        if (!WriteFile(target, buffer.get(), got, &put, nullptr) || put != got) return false;
        done += got;
        if (progress) progress(done, total);
    }
    return true;
}

// Creates folder and every missing folder above it; failures are ignored.
void CreateFolderWithParents(std::wstring folder) {
    while (!folder.empty() && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
    if (folder.empty() || folder.back() == L':') return;  // nothing, or a drive
    DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return;
    size_t cut = folder.find_last_of(L"\\/");
    if (cut != std::wstring::npos) CreateFolderWithParents(folder.substr(0, cut));
    CreateDirectoryW(folder.c_str(), nullptr);
}

}  // namespace

bool CopyOneFile(const std::wstring& source, const std::wstring& target, const CopyProgress& progress) {
    // 1. The source, read from start to end.
    FileHandle src(CreateFileW(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!src) RaiseOpenError(source, GetLastError());
    LARGE_INTEGER length;
    if (!GetFileSizeEx(src.get(), &length)) RaiseOpenError(source, GetLastError());
    const std::uint64_t total = static_cast<std::uint64_t>(length.QuadPart);

    // 2. The target: an existing one must be a file that may be replaced.
    WIN32_FILE_ATTRIBUTE_DATA old{};
    const bool exists = GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &old) != FALSE;
    if (exists) {
        if (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RaiseCreateError(target, ERROR_ACCESS_DENIED);
        if (old.dwFileAttributes & FILE_ATTRIBUTE_READONLY) RaiseCreateError(target, ERROR_ACCESS_DENIED);
        // Refused when another program holds the file or the user may not write it.
        FileHandle probe(CreateFileW(target.c_str(), GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) RaiseCreateError(target, GetLastError());
    }
    TemporaryCopy temp;
    if (DWORD err = temp.Create(FolderOf(target))) RaiseCreateError(target, err);

    // 3. The content.
    if (!CopyContent(src.get(), temp.Handle(), total, progress)) return false;

    // 4. The times: the source's last write, and the replaced file's creation.
    FILETIME written;
    const bool haveTime = DosRoundedLastWriteTime(src.get(), written);
    SetFileTime(temp.Handle(), exists ? &old.ftCreationTime : nullptr, nullptr, haveTime ? &written : nullptr);
    temp.Close();
    src.reset();

    // 5. Into place. An existing target keeps its attributes, with the archive
    // mark that any change of content sets.
    if (!temp.Commit(target, exists)) return false;
    if (exists) WriteAttributes(target, old.dwFileAttributes | FILE_ATTRIBUTE_ARCHIVE);
    return true;
}

void CopyFolder(const std::wstring& source, const std::wstring& target) {
    CreateFolderWithParents(target);

    const std::wstring pattern = source + L"\\*.*";
    WIN32_FIND_DATAW fd;
    // First pass: every file, hidden and system ones included.
    {
        FindHandle find(FindFirstFileW(pattern.c_str(), &fd));
        if (find) {
            do {
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") continue;
                CopyFileW((source + L"\\" + name).c_str(), (target + L"\\" + name).c_str(), FALSE);
            } while (FindNextFileW(find.get(), &fd));
        }
    }
    // Second pass: the sub-folders that are neither hidden nor system.
    std::vector<std::wstring> folders;
    {
        FindHandle find(FindFirstFileW(pattern.c_str(), &fd));
        if (find) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
                if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
                std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..") continue;
                folders.push_back(name);
            } while (FindNextFileW(find.get(), &fd));
        }
    }
    for (const auto& name : folders) CopyFolder(source + L"\\" + name, target + L"\\" + name);
}

void ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& list) {
    WIN32_FIND_DATAW fd;
    FindHandle find(FindFirstFileW((folder + L"*").c_str(), &fd));
    if (!find) return;
    do {
        if (fd.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        std::wstring name = fd.cFileName;
        if (name == L"." || name == L".." || name == L"WithOutAnswer") continue;
        list.push_back(folder + name);
    } while (FindNextFileW(find.get(), &fd));
}

void SetReadOnlyAttribute(const std::wstring& path, bool readOnly) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (readOnly)
        attributes |= FILE_ATTRIBUTE_READONLY;
    else
        attributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    WriteAttributes(path, attributes);
}
