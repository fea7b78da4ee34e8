#include "install/Deployment.h"

#include "install/FileCopy.h"
#include "install/PendingLine.h"
#include "platform/Exceptions.h"

namespace deployment {

namespace {

bool FolderExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates one folder level; the parent must exist.
bool CreateFolder(const std::wstring& path) { return CreateDirectoryW(path.c_str(), nullptr) != FALSE; }

// Keeps the file that target names under a dated backup name beside it. True
// when the backup exists, complete; false (with the box shown) when it could
// not be made, the file then being as it was.
bool KeepBackup(IInstallHost& host, const std::wstring& targetFolder, const std::wstring& target) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::wstring backup = BackupPath(target, now);
    const std::wstring shownName = targetFolder + backup.substr(backup.find_last_of(L'\\') + 1);

    PendingLine line(host, L"Сохранение прежней базы данных в файл " + shownName + L"....");
    host.Pump();
    bool kept = false;
    std::wstring reason;
    try {
        kept = CopyOneFile(target, backup, line.LiveProgress());
    } catch (const platform::Exception& e) {
        reason = e.Message();
    }
    line.Complete(kept);
    if (kept) return true;
    if (reason.empty()) reason = L"Копирование прервано: нет места на диске или ошибка чтения.";
    host.ErrorBox(L"Не удалось сохранить прежнюю базу данных \"" + target + L"\" в файл \"" + backup + L"\".\n" +
                  reason + L"\n\nПрежняя база данных оставлена без изменений. Установка остановлена.");
    return false;
}

}  // namespace

const std::vector<Group>& Manifest() {
    static const std::vector<Group> groups = {
        {L"DTAfb\\", L"DTAfb\\", FolderRule::CreateWithMessages, FailureRule::Stop, EngineSet::Both, true,
         {L"T12.FDB"}},
        {L"Firebird\\", L"", FolderRule::IsDestination, FailureRule::Stop, EngineSet::A, false,
         {L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll", L"icudt30.Dll", L"icuin30.Dll",
          L"icuuc30.Dll", L"msvcp80.Dll", L"msvcr80.Dll", L"firebird.msg", L"gbak.exe", L"gds32.dll"}},
        {L"Firebird\\", L"", FolderRule::IsDestination, FailureRule::Stop, EngineSet::B, false,
         {L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll", L"icudt30.Dll", L"icuin30.Dll",
          L"icuuc30.Dll", L"msvcp71.Dll", L"msvcr71.Dll", L"firebird.msg"}},
        {L"Firebird\\intl\\", L"intl\\", FolderRule::CreateSilently, FailureRule::Stop, EngineSet::Both, false,
         {L"fbintl.conf", L"fbintl.dll"}},
        {L"Firebird\\udf\\", L"udf\\", FolderRule::CreateSilently, FailureRule::Stop, EngineSet::Both, false,
         {L"fbudf.dll", L"ib_udf.dll", L"fbudf.sql", L"ib_udf.sql", L"ib_udf2.sql"}},
        {L"UDF\\", L"udf\\", FolderRule::MadeByEarlierGroup, FailureRule::LogAndGoOn, EngineSet::Both, false,
         {L"Compare.Dll", L"PosStr.Dll", L"ProcessingECG.Dll", L"SDecision.Dll"}},
    };
    return groups;
}

std::vector<const Group*> GroupsFor(int windowsIndex) {
    const EngineSet chosen = windowsIndex == 0 ? EngineSet::A : EngineSet::B;
    std::vector<const Group*> groups;
    for (const Group& g : Manifest())
        if (g.set == EngineSet::Both || g.set == chosen) groups.push_back(&g);
    return groups;
}

std::wstring BackupPath(const std::wstring& target, const SYSTEMTIME& now) {
    const size_t slash = target.find_last_of(L"\\/");
    const size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    size_t dot = target.find_last_of(L'.');
    if (dot == std::wstring::npos || dot < nameStart) dot = target.size();
    const std::wstring stem = target.substr(0, dot), extension = target.substr(dot);

    wchar_t stamp[40];
    wsprintfW(stamp, L"_backup_%04u-%02u-%02u_%02u-%02u-%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
              now.wSecond);
    std::wstring path = stem + stamp + extension;
    for (int n = 2; GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; ++n)
        path = stem + stamp + L"_" + std::to_wstring(n) + extension;
    return path;
}

bool DeployDatabaseAndEngine(IInstallHost& host, const std::wstring& S, const std::wstring& D, int windowsIndex) {
    for (const Group* group : GroupsFor(windowsIndex)) {
        const std::wstring targetFolder = D + group->targetFolder;
        switch (group->folderRule) {
            case FolderRule::CreateWithMessages:
                if (!FolderExists(targetFolder)) {
                    // The folder's name as the log shows it: "<DTAfb>".
                    std::wstring name = group->targetFolder;
                    if (!name.empty() && name.back() == L'\\') name.pop_back();
                    if (!CreateFolder(targetFolder)) {
                        const std::wstring text = L"Ошибка при создании каталога <" + name + L">!";
                        host.ErrorBox(text);
                        host.AddLogLine(text);
                        return false;
                    }
                    host.AddLogLine(L"Каталог <" + name + L"> создан...");
                    host.Pump();
                }
                break;
            case FolderRule::CreateSilently:
                if (!FolderExists(targetFolder)) CreateFolder(targetFolder);
                break;
            case FolderRule::IsDestination:
            case FolderRule::MadeByEarlierGroup:
                break;
        }

        for (const wchar_t* name : group->files) {
            const std::wstring target = targetFolder + name;
            if (group->keepsBackup && FileExists(target) && !KeepBackup(host, group->targetFolder, target))
                return false;

            PendingLine line(host, std::wstring(L"Копирование файла ") + name + L"....");
            host.Pump();
            const bool copied = CopyOneFile(S + group->sourceFolder + name, target, line.LiveProgress());
            line.Complete(copied);
            if (!copied && group->failureRule == FailureRule::Stop) return false;
        }
    }
    return true;
}

}  // namespace deployment
