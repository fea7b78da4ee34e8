// The log lines the installation writes, as the tests expect them.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// A file's copy line: pending, completed, failed.
std::wstring Pending(const std::wstring& name);
std::wstring Done(const std::wstring& name);
std::wstring Failed(const std::wstring& name);

extern const wchar_t* const kSettingsLine;     // "Создание настроечных файлов....Завершено"
extern const wchar_t* const kClosingQuestion;  // the closing question of the installation

// The completed copy lines of a whole deployment after the database's line:
// the engine set for item index windowsIndex of CBWindows, then intl, udf and
// the suite's own libraries.
std::vector<std::wstring> EngineAndLibraryLines(int windowsIndex);

}  // namespace testsupport
