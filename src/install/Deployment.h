// The deployment of the clinical database, the database engine and the
// database function libraries: which files go where, file by file, each with
// its own pending log line.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "install/InstallHost.h"

namespace deployment {

// How a group's target folder comes to exist.
enum class FolderRule {
    CreateWithMessages,  // created when missing; a failure is shown and stops the deployment
    IsDestination,       // the destination folder itself, which exists
    CreateSilently,      // created when missing; the outcome is not examined
    MadeByEarlierGroup,  // the target folder of an earlier group
};

// What a copy that fails (CopyOneFile answers false) does to the deployment.
enum class FailureRule { Stop, LogAndGoOn };

// The engine file sets; CBWindows item index 0 selects set A, any other set B.
enum class EngineSet { Both, A, B };

struct Group {
    const wchar_t* sourceFolder;  // under the distribution folder S, ending in "\" (or empty)
    const wchar_t* targetFolder;  // under the destination folder D, ending in "\" (or empty)
    FolderRule folderRule;
    FailureRule failureRule;
    EngineSet set;
    bool keepsBackup;  // an existing target is kept as a dated backup before it is replaced
    std::vector<const wchar_t*> files;  // in copying order, names exactly as created
};

// Every group, both engine sets included, in copying order.
const std::vector<Group>& Manifest();

// The groups deployed for a CBWindows item index, in copying order.
std::vector<const Group*> GroupsFor(int windowsIndex);

// Deploys the groups for windowsIndex from S (source, ending in "\") into D
// (destination, ending in "\"), pumping after each log line and keeping the
// window alive during long copies. True when it ran to its end; false when it
// stopped (the log, and a message box where there is one, tell why). Errors
// raised by CopyOneFile pass through unchanged.
bool DeployDatabaseAndEngine(IInstallHost& host, const std::wstring& S, const std::wstring& D, int windowsIndex);

// The name under which the database target is kept before it is replaced: in
// the same folder, "<name>_backup_<YYYY-MM-DD_HH-MM-SS><extension>" from the
// local time now, with "_2", "_3", ... added when that name is taken.
std::wstring BackupPath(const std::wstring& target, const SYSTEMTIME& now);

}  // namespace deployment
