// File and folder operations of the installation. Each reports trouble in its
// own fixed way, which the callers rely on:
//   CopyOneFile          raises on open/create, false when the copying fails
//   CopyFolder           nothing: every failure is ignored
//   ListSubfolders       nothing
//   SetReadOnlyAttribute nothing
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Called while CopyOneFile copies: bytes done and bytes in all. Used inside the
// installation's guarded block to keep the window alive and show progress.
using CopyProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// Copies source to target. Raises platform::EFOpenError when the source cannot
// be opened and platform::EFCreateError when the target cannot be created (a
// missing folder, a read-only existing target, no access). Returns false when
// the copying itself fails; the old target then stays as it was (the content
// goes to a temporary file beside the target, which replaces it only when
// complete). An existing target keeps its attributes, a new one gets the
// default ones. The target's last-write time is the source's, in the two-second
// resolution of the MS-DOS date-time form.
bool CopyOneFile(const std::wstring& source, const std::wstring& target, const CopyProgress& progress = {});

// Copies a folder tree; both paths without a trailing "\". Files first, then
// the sub-folders that are neither hidden nor system. Reports nothing.
void CopyFolder(const std::wstring& source, const std::wstring& target);

// Appends folder + name for each sub-folder of folder (ending in "\") that is
// neither hidden nor system and is not ".", ".." or "WithOutAnswer" (exact case).
void ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& list);

// Sets (true) or clears (false) a file's read-only attribute. Reports nothing.
void SetReadOnlyAttribute(const std::wstring& path, bool readOnly);
