// A Windows initialization file held in memory: read by section and key, and
// updated in place. Sections and keys match without regard to letter case
// (ordinal comparison after case folding, so Cyrillic names match too).
//
// Form: a line whose first non-blank character is "[" opens the section named
// up to the last "]"; a line "key=value" gives one value of the current section
// (blanks around the key and the value are dropped). Lines whose first
// non-blank character is ";" are comments. Lines before the first section
// belong to no section. When a key appears twice, the first one counts; so
// does the first section of a name for new keys.
//
// Reading: a missing file (or an empty path) is an empty document. A file that
// exists but cannot be read raises EFOpenError, so that an update never
// replaces a file it could not read. The file's encoding is kept: the system
// ANSI code page, UTF-8 or UTF-16 (little or big endian) with a byte-order mark,
// or UTF-8 without one when the bytes are valid UTF-8 and hold at least one
// multi-byte sequence (text in the ANSI code page practically never does).
//
// Updating: WriteString replaces the value of an existing key in its line and
// keeps every other line exactly as it was, byte for byte (comments, blank
// lines, order, spacing, line breaks); a missing key is added after the last
// entry of its section, a missing section at the end of the file.
//
// Save writes to a temporary file beside the target, flushes it, and replaces
// the target only when the new content is complete. On failure the old file is
// untouched, the temporary file is removed, and EFCreateError (the file cannot
// be created or replaced: missing folder, no access, read-only or locked
// target) or EInOutError (writing failed, a text not representable in the
// file's code page) is raised, naming the file. A read-only target is refused,
// as a plain write to it would be.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class IniEncoding { Ansi, Utf8, Utf8Bom, Utf16LE, Utf16BE };

class IniDocument {
public:
    IniDocument() = default;

    // Loads path; a missing file gives an empty document (ANSI). Raises
    // EFOpenError when the file exists but cannot be read.
    static IniDocument Load(const std::wstring& path);
    // The document of a file's bytes (what Load does after reading).
    static IniDocument FromBytes(const std::string& bytes);

    // The value of a key without the blanks around it, or nothing when the key
    // (or its section) is absent. A key with an empty value gives an empty text.
    std::optional<std::wstring> Value(const std::wstring& section, const std::wstring& key) const;

    std::wstring ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const;
    // Integer forms: decimal with sign, hexadecimal after "$" or "0x". Anything else: def.
    long long ReadInt64(const std::wstring& section, const std::wstring& key, long long def) const;
    // As ReadInt64; a value outside the 32-bit range gives def.
    int ReadInteger(const std::wstring& section, const std::wstring& key, int def) const;
    // An integer; 0 is false, any other integer true. Anything else: def.
    bool ReadBool(const std::wstring& section, const std::wstring& key, bool def) const;
    // A decimal number with "." as the separator, whatever the regional settings. Anything else: def.
    double ReadFloat(const std::wstring& section, const std::wstring& key, double def) const;

    bool SectionExists(const std::wstring& section) const;

    // Sets a key (see the header comment). Raises Exception when the section
    // or key name cannot stand in the file (empty key, line breaks, "=" in a
    // key, "]" in a section name) or the value holds a line break.
    void WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value);
    // Writes the integer in decimal.
    void WriteInteger(const std::wstring& section, const std::wstring& key, long long value);

    // Writes the document to path (see the header comment for the guarantees).
    void Save(const std::wstring& path) const;
    // The bytes Save writes.
    std::string ToBytes() const;

    IniEncoding Encoding() const { return encoding_; }
    // The document's lines as they will be written, without line breaks.
    std::vector<std::wstring> Lines() const;

private:
    struct Line {
        std::wstring text;   // decoded, without the line break
        std::string raw;     // the bytes as read, written again while the line is unchanged
        std::wstring eol;    // its line break: "\r\n", "\n", "\r" or none (last line)
        bool changed = false;
    };
    struct Entry;  // a parsed line

    static Entry Parse(const std::wstring& text);
    // Index of the first key line of the section, or -1.
    int FindKey(const std::wstring& section, const std::wstring& key) const;
    // path names the file in the error raised for a text the encoding cannot hold.
    std::string Encode(const std::wstring& text, const std::wstring* path) const;
    std::string Serialize(const std::wstring* path) const;
    void Append(std::wstring text);
    void Insert(size_t at, std::wstring text);

    std::vector<Line> lines_;
    IniEncoding encoding_ = IniEncoding::Ansi;
    std::wstring newline_ = L"\r\n";
};

// Value forms shared with the settings reader; nothing when the text is not of the form.
std::optional<long long> ParseIniInteger(const std::wstring& text);
std::optional<double> ParseIniFloat(const std::wstring& text);

// Section and key names compare so: ordinal, ignoring letter case.
bool IniNamesEqual(const std::wstring& a, const std::wstring& b);

}  // namespace platform
