#include "support/ExpectedLog.h"

#include <initializer_list>

namespace testsupport {

std::wstring Pending(const std::wstring& name) { return L"Копирование файла " + name + L"...."; }
std::wstring Done(const std::wstring& name) { return Pending(name) + L"Завершено"; }
std::wstring Failed(const std::wstring& name) { return Pending(name) + L"ОШИБКА!!!"; }

const wchar_t* const kSettingsLine = L"Создание настроечных файлов....Завершено";
const wchar_t* const kClosingQuestion = L"Установка завершена. Выйти из программы установки?";

std::vector<std::wstring> EngineAndLibraryLines(int windowsIndex) {
    std::initializer_list<const wchar_t*> setA = {L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll",
                                                  L"icudt30.Dll",  L"icuin30.Dll",   L"icuuc30.Dll",  L"msvcp80.Dll",
                                                  L"msvcr80.Dll",  L"firebird.msg",  L"gbak.exe",     L"gds32.dll"};
    std::initializer_list<const wchar_t*> setB = {L"aliases.conf", L"firebird.conf", L"fbclient.Dll", L"ib_util.Dll",
                                                  L"icudt30.Dll",  L"icuin30.Dll",   L"icuuc30.Dll",  L"msvcp71.Dll",
                                                  L"msvcr71.Dll",  L"firebird.msg"};
    std::initializer_list<const wchar_t*> rest = {L"fbintl.conf", L"fbintl.dll",  L"fbudf.dll",   L"ib_udf.dll",
                                                  L"fbudf.sql",   L"ib_udf.sql",  L"ib_udf2.sql", L"Compare.Dll",
                                                  L"PosStr.Dll",  L"ProcessingECG.Dll", L"SDecision.Dll"};
    std::vector<std::wstring> lines;
    for (const wchar_t* name : windowsIndex == 0 ? setA : setB) lines.push_back(Done(name));
    for (const wchar_t* name : rest) lines.push_back(Done(name));
    return lines;
}

}  // namespace testsupport
