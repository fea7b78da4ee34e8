// Install.exe imports only libraries that Windows always loads from its own
// folder; everything else (rich edit, imaging, XML) comes through COM or
// LoadLibrary from the system folder after the DLL search has been restricted.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace {

struct PeImports {
    std::vector<std::string> normal;   // import directory
    std::vector<std::string> delayed;  // delay-load directory
    bool is32 = false;
    bool gui = false;
};

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// Reads the import and delay-import directories of a PE32 file.
PeImports ReadImports(const std::string& f) {
    PeImports out;
    auto at = [&f](size_t off, size_t n) {
        if (off + n > f.size()) throw std::runtime_error("truncated PE file");
        return f.data() + off;
    };
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) throw std::runtime_error("no MZ header");
    auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS32)));
    if (nt->Signature != IMAGE_NT_SIGNATURE) throw std::runtime_error("no PE header");
    out.is32 = nt->FileHeader.Machine == IMAGE_FILE_MACHINE_I386 &&
               nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC;
    out.gui = nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
    auto sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(
        at(dos->e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt->FileHeader.SizeOfOptionalHeader,
           nt->FileHeader.NumberOfSections * sizeof(IMAGE_SECTION_HEADER)));
    auto rvaToOffset = [&](DWORD rva) -> size_t {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const auto& s = sections[i];
            DWORD size = std::max(s.Misc.VirtualSize, s.SizeOfRawData);
            if (rva >= s.VirtualAddress && rva < s.VirtualAddress + size)
                return rva - s.VirtualAddress + s.PointerToRawData;
        }
        throw std::runtime_error("RVA outside every section");
    };
    auto name = [&](DWORD rva) { return Lower(std::string(at(rvaToOffset(rva), 1))); };

    const auto& imp = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imp.VirtualAddress) {
        size_t off = rvaToOffset(imp.VirtualAddress);
        for (;; off += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
            auto d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(off, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
            if (!d->Name) break;
            out.normal.push_back(name(d->Name));
        }
    }
    const auto& del = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT];
    if (del.VirtualAddress) {
        size_t off = rvaToOffset(del.VirtualAddress);
        for (;; off += 32) {  // IMAGE_DELAYLOAD_DESCRIPTOR: attributes, then the name's RVA
            auto words = reinterpret_cast<const DWORD*>(at(off, 32));
            if (!words[1]) break;
            out.delayed.push_back(name(words[1]));
        }
    }
    return out;
}

}  // namespace

TEST(InstallExecutable, ImportsOnlyLibrariesThatWindowsLoadsFromItsOwnFolder) {
    std::string bytes = testsupport::ReadFileBytes(testsupport::BuildDir() + L"Install.exe");
    ASSERT_FALSE(bytes.empty());
    PeImports imports = ReadImports(bytes);
    EXPECT_TRUE(imports.is32) << "not a PE32 i386 image";
    EXPECT_TRUE(imports.gui) << "not a GUI program";

    const std::set<std::string> allowed = {"kernel32.dll", "user32.dll",   "gdi32.dll",  "advapi32.dll",
                                           "shell32.dll",  "ole32.dll",    "oleaut32.dll", "shlwapi.dll",
                                           "comdlg32.dll", "msvcrt.dll",   "comctl32.dll"};
    ASSERT_FALSE(imports.normal.empty());
    for (const auto& dll : imports.normal) EXPECT_TRUE(allowed.count(dll)) << "imports " << dll;
    EXPECT_TRUE(imports.delayed.empty()) << "delay-loads " << (imports.delayed.empty() ? "" : imports.delayed[0]);
    // The runtime is linked in: no C++ runtime, gcc or thread library DLLs.
    for (const auto& dll : imports.normal) {
        EXPECT_EQ(dll.find("libstdc++"), std::string::npos);
        EXPECT_EQ(dll.find("libgcc"), std::string::npos);
        EXPECT_EQ(dll.find("winpthread"), std::string::npos);
    }
}
