#include "support/FakeInstallHost.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace testsupport {

void FakeInstallHost::SetCopyFrom(const std::wstring& folder) {
    copyFrom = folder;
    copyFromSet = true;
}

void FakeInstallHost::ResetLog() {
    log.clear();
    ++logResets;
}

int FakeInstallHost::AddLogLine(const std::wstring& text) {
    log.push_back(text);
    lineEvents.push_back({text, canClose, hourglass});
    return static_cast<int>(log.size()) - 1;
}

void FakeInstallHost::SetLogLine(int index, const std::wstring& text) {
    if (index < 0 || index >= static_cast<int>(log.size())) {
        ADD_FAILURE() << "SetLogLine with index " << index << " of " << log.size();
        return;
    }
    log[static_cast<size_t>(index)] = text;
    lineEvents.push_back({text, canClose, hourglass});
}

void FakeInstallHost::Pump() {
    ++pumps;
    if (onPump) onPump();
}

bool FakeInstallHost::ConfirmBox(const std::wstring& text) {
    confirmBoxes.push_back(text);
    return answer ? answer(text) : false;
}

void FakeInstallHost::SetCanClose(bool value) {
    canClose = value;
    canCloseSet.push_back(value);
}

std::string SourceContent(const std::wstring& name) { return "file " + ToUtf8(name) + " of the distribution\r\n"; }

void MakeDeploymentSources(const std::wstring& folder, const std::string& databaseContent) {
    struct SourceFolder {
        const wchar_t* name;
        std::vector<const wchar_t*> files;
    };
    const SourceFolder folders[] = {
        {L"DTAfb\\", {L"T12.FDB"}},
        {L"Firebird\\",
         {L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll", L"icudt30.Dll", L"icuin30.Dll",
          L"icuuc30.Dll", L"msvcp80.Dll", L"msvcr80.Dll", L"msvcp71.Dll", L"msvcr71.Dll", L"firebird.msg",
          L"gbak.exe", L"gds32.dll"}},
        {L"Firebird\\intl\\", {L"fbintl.conf", L"fbintl.dll"}},
        {L"Firebird\\udf\\", {L"fbudf.dll", L"ib_udf.dll", L"fbudf.sql", L"ib_udf.sql", L"ib_udf2.sql"}},
        {L"UDF\\", {L"Compare.Dll", L"PosStr.Dll", L"ProcessingECG.Dll", L"SDecision.Dll"}},
    };
    for (const auto& f : folders) {
        MakeDirs(folder + f.name);
        for (const wchar_t* name : f.files)
            WriteFileBytes(folder + f.name + name, std::wstring(name) == L"T12.FDB" ? databaseContent : SourceContent(name));
    }
}

}  // namespace testsupport
