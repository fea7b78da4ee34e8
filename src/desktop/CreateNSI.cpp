#include "desktop/CreateNSI.h"

#include <windows.h>

#include "platform/Handles.h"

namespace {

constexpr int kEntries = 60;
constexpr int kEntrySize = 14;

// Writes record as the whole content of a new file at path; nothing when path
// names anything already.
void WriteNewFile(const std::wstring& path, const unsigned char* record, DWORD size) {
    platform::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    const bool complete = WriteFile(file.get(), record, size, &written, nullptr) && written == size;
    file.reset();
    // A file cut short would count as present at the next installation and never be repaired.
    if (!complete) DeleteFileW(path.c_str());
}

}  // namespace

void CreateNsiFiles(const std::wstring& folder) {
    if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) CreateDirectoryW(folder.c_str(), nullptr);

    unsigned char record[kEntries * kEntrySize] = {};
    for (int n = 0; n < kEntries; ++n) record[n * kEntrySize] = 0;  // an empty entry

    for (const wchar_t* name : {L"uca.nsi", L"wra.nsi"}) WriteNewFile(folder + name, record, sizeof record);
}
