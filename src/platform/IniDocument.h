// A Windows initialization file held in memory: read by section and key, and
// updated in place. Sections and keys match without regard to letter case.
//
// Reading: a missing file is an empty document. The file's encoding is kept
// (the system ANSI code page, UTF-8 with a byte-order mark, or UTF-16 with one)
// and Save writes the document back in the same encoding.
//
// Updating: WriteString replaces the value of an existing key in its line and
// keeps every other line exactly as it was (comments, blank lines, order,
// spacing); a missing key is added at the end of its section, a missing section
// at the end of the file.
//
// Save writes to a temporary file beside the target and replaces the target
// only when the new content is complete; on failure the old file is untouched
// and an EFCreateError / EInOutError is raised.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class IniEncoding { Ansi, Utf8Bom, Utf16LE, Utf16BE };

class IniDocument {
public:
    IniDocument() = default;

    // Loads path; a missing file gives an empty document (ANSI).
    static IniDocument Load(const std::wstring& path);

    // The raw value of a key, or nothing when the key (or section) is absent.
    std::optional<std::wstring> Value(const std::wstring& section, const std::wstring& key) const;

    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const;
    // Integer forms: decimal with sign, hexadecimal after "$" or "0x". Anything else: def.
    long long ReadInt64(const std::wstring& section, const std::wstring& key, long long def) const;
    int ReadInteger(const std::wstring& section, const std::wstring& key, int def) const;
    // An integer; 0 is false, any other integer true. Anything else: def.
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool def) const;
    // A decimal number with "." as the separator. Anything else: def.
    double ReadFloat(const std::wstring& section, const std::wstring& key, double def) const;

    bool SectionExists(const std::wstring& section) const;

    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    void WriteInteger(const std::wstring& section, const std::wstring& key, long long value);

    // Writes the document to path (see the header comment for the guarantees).
    void Save(const std::wstring& path) const;

    IniEncoding Encoding() const { return encoding_; }
    // The document's lines as they will be written.
    const std::vector<std::wstring>& Lines() const { return lines_; }

private:
    std::vector<std::wstring> lines_;
    IniEncoding encoding_ = IniEncoding::Ansi;
    bool finalNewline_ = true;
    std::wstring newline_ = L"\r\n";
};

// Value forms shared with the settings reader; false/nothing when the text is not of the form.
std::optional<long long> ParseIniInteger(const std::wstring& text);
std::optional<double> ParseIniFloat(const std::wstring& text);

}  // namespace platform
