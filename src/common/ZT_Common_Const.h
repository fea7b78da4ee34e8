// Name tables of the shared units. They hold their Russian texts from the
// start; LoadLocalizedNames (ZT_Common_Proc) replaces them at start-up with the
// texts of the language file. Index 0 is the table's first entry.
#pragma once

#include <array>
#include <string>

extern std::array<std::wstring, 3> BodyTypeNames;     // body-build types
extern std::array<std::wstring, 22> DiagnosisNames;   // diagnoses and conditions
extern std::array<std::wstring, 9> DrugNames;         // drug groups
extern std::array<std::wstring, 5> ConductionNames;   // intraventricular conduction findings
