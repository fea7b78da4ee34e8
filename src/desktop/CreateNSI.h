// The suite's two NSI data files, "uca.nsi" and "wra.nsi": one record of 60
// entries of 14 bytes each (840 bytes), an empty entry having 0 as its first
// byte. The installer only makes sure they exist; it never reads them.
#pragma once

#include <string>

// Creates folder (one level) when it is missing, then each of folder +
// "uca.nsi" and folder + "wra.nsi" that does not exist yet, as an empty record.
// An existing file is left as it is. folder ends in "\". Reports nothing: a
// file that cannot be written is skipped (a partly written one is removed).
void CreateNsiFiles(const std::wstring& folder);
