#include "platform/IniDocument.h"

#include <windows.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstddef>

#include "platform/Exceptions.h"
#include "platform/Handles.h"

namespace platform {

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring Trim(const std::wstring& s, size_t begin, size_t end) {
    while (begin < end && IsBlank(s[begin])) ++begin;
    while (end > begin && IsBlank(s[end - 1])) --end;
    return s.substr(begin, end - begin);
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

[[noreturn]] void RaiseOpen(const std::wstring& path, DWORD err) {
    throw EFOpenError(L"Не удаётся открыть файл " + Quoted(path) + L". " + SysErrorMessage(err));
}
[[noreturn]] void RaiseCreate(const std::wstring& path, const std::wstring& reason) {
    throw EFCreateError(L"Не удаётся создать файл " + Quoted(path) + L". " + reason);
}
[[noreturn]] void RaiseWrite(const std::wstring& path, const std::wstring& reason) {
    throw EInOutError(L"Ошибка записи в файл " + Quoted(path) + L". " + reason);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
// multiByte tells whether any sequence longer than one byte was seen.
bool IsValidUtf8(const std::string& s, size_t from, bool& multiByte) {
    multiByte = false;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    size_t n = s.size();
    for (size_t i = from; i < n;) {
        unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned char lo = 0x80, hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0) lo = 0xA0;
            if (c == 0xED) hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0) lo = 0x90;
            if (c == 0xF4) hi = 0x8F;
        } else {
            return false;
        }
        if (i + len > n) return false;
        if (p[i + 1] < lo || p[i + 1] > hi) return false;
        for (size_t k = 2; k < len; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
        multiByte = true;
        i += len;
    }
    return true;
}

std::wstring DecodeBytes(const char* data, size_t size, IniEncoding enc) {
    if (size == 0) return {};
    if (enc == IniEncoding::Utf16LE || enc == IniEncoding::Utf16BE) {
        std::wstring out(size / 2, L'\0');
        for (size_t i = 0; i < out.size(); ++i) {
            auto a = static_cast<unsigned char>(data[2 * i]);
            auto b = static_cast<unsigned char>(data[2 * i + 1]);
            out[i] = enc == IniEncoding::Utf16LE ? static_cast<wchar_t>(a | (b << 8)) : static_cast<wchar_t>((a << 8) | b);
        }
        return out;
    }
    UINT cp = enc == IniEncoding::Ansi ? CP_ACP : CP_UTF8;
    int n = MultiByteToWideChar(cp, 0, data, static_cast<int>(size), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, data, static_cast<int>(size), &out[0], n);
    return out;
}

const char* Bom(IniEncoding enc) {
    switch (enc) {
    case IniEncoding::Utf8Bom: return "\xEF\xBB\xBF";
    case IniEncoding::Utf16LE: return "\xFF\xFE";
    case IniEncoding::Utf16BE: return "\xFE\xFF";
    default: return "";
    }
}

bool ValidName(const std::wstring& s, bool section) {
    for (wchar_t c : s)
        if (c == L'\r' || c == L'\n' || c == L'\0' || (section ? c == L']' : c == L'=')) return false;
    return true;
}

}  // namespace

bool IniNamesEqual(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    if (a.empty()) return true;
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

struct IniDocument::Entry {
    enum Kind { Other, Blank, Comment, Section, Key } kind = Other;
    std::wstring name;                    // section or key, without blanks around it
    size_t valueBegin = 0, valueEnd = 0;  // the value's place in the line (key lines)
};

IniDocument::Entry IniDocument::Parse(const std::wstring& text) {
    Entry e;
    size_t i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    if (i == n) {
        e.kind = Entry::Blank;
    } else if (text[i] == L';') {
        e.kind = Entry::Comment;
    } else if (text[i] == L'[') {
        e.kind = Entry::Section;
        size_t close = text.rfind(L']');
        e.name = close != std::wstring::npos && close > i ? Trim(text, i + 1, close) : Trim(text, i + 1, n);
    } else {
        size_t eq = text.find(L'=', i);
        if (eq == std::wstring::npos) return e;
        e.kind = Entry::Key;
        e.name = Trim(text, i, eq);
        size_t b = eq + 1, end = n;
        while (b < end && IsBlank(text[b])) ++b;
        while (end > b && IsBlank(text[end - 1])) --end;
        e.valueBegin = b;
        e.valueEnd = end;
    }
    return e;
}

IniDocument IniDocument::FromBytes(const std::string& bytes) {
    IniDocument doc;
    size_t start = 0;
    auto starts = [&](const char* bom, size_t len) { return bytes.size() >= len && bytes.compare(0, len, bom, len) == 0; };
    if (starts("\xEF\xBB\xBF", 3)) {
        doc.encoding_ = IniEncoding::Utf8Bom;
        start = 3;
    } else if (starts("\xFF\xFE", 2)) {
        doc.encoding_ = IniEncoding::Utf16LE;
        start = 2;
    } else if (starts("\xFE\xFF", 2)) {
        doc.encoding_ = IniEncoding::Utf16BE;
        start = 2;
    } else {
        bool multiByte = false;
        doc.encoding_ = IsValidUtf8(bytes, 0, multiByte) && multiByte ? IniEncoding::Utf8 : IniEncoding::Ansi;
    }

    const bool wide = doc.encoding_ == IniEncoding::Utf16LE || doc.encoding_ == IniEncoding::Utf16BE;
    const size_t unit = wide ? 2 : 1;
    auto at = [&](size_t i) -> unsigned {
        if (!wide) return static_cast<unsigned char>(bytes[i]);
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return doc.encoding_ == IniEncoding::Utf16LE ? (a | (b << 8)) : ((a << 8) | b);
    };
    bool newlineSeen = false;
    size_t lineStart = start, i = start;
    const size_t n = bytes.size();
    while (i + unit <= n) {
        unsigned c = at(i);
        if (c != '\n' && c != '\r') {
            i += unit;
            continue;
        }
        Line line;
        line.raw = bytes.substr(lineStart, i - lineStart);
        if (c == '\r' && i + 2 * unit <= n && at(i + unit) == '\n') {
            line.eol = L"\r\n";
            i += 2 * unit;
        } else {
            line.eol = c == '\r' ? L"\r" : L"\n";
            i += unit;
        }
        if (!newlineSeen) {
            doc.newline_ = line.eol;
            newlineSeen = true;
        }
        line.text = DecodeBytes(line.raw.data(), line.raw.size(), doc.encoding_);
        doc.lines_.push_back(std::move(line));
        lineStart = i;
    }
    if (lineStart < n) {  // the last line without a line break (an odd trailing byte of UTF-16 stays in it)
        Line line;
        line.raw = bytes.substr(lineStart);
        line.text = DecodeBytes(line.raw.data(), line.raw.size(), doc.encoding_);
        doc.lines_.push_back(std::move(line));
    }
    return doc;
}

IniDocument IniDocument::Load(const std::wstring& path) {
    if (path.empty()) return IniDocument();
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD err = GetLastError();
        if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return IniDocument();
        RaiseOpen(path, err);
    }
    std::string bytes;
    char buf[65536];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buf, sizeof buf, &got, nullptr)) RaiseOpen(path, GetLastError());
        if (got == 0) break;
        bytes.append(buf, got);
    }
    return FromBytes(bytes);
}

int IniDocument::FindKey(const std::wstring& section, const std::wstring& key) const {
    bool inSection = false;
    for (size_t i = 0; i < lines_.size(); ++i) {
        Entry e = Parse(lines_[i].text);
        if (e.kind == Entry::Section)
            inSection = IniNamesEqual(e.name, section);
        else if (inSection && e.kind == Entry::Key && IniNamesEqual(e.name, key))
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<std::wstring> IniDocument::Value(const std::wstring& section, const std::wstring& key) const {
    int i = FindKey(section, key);
    if (i < 0) return std::nullopt;
    const std::wstring& text = lines_[static_cast<size_t>(i)].text;
    Entry e = Parse(text);
    return text.substr(e.valueBegin, e.valueEnd - e.valueBegin);
}

std::wstring IniDocument::ReadString(const std::wstring& section, const std::wstring& key, const std::wstring& def) const {
    auto v = Value(section, key);
    return v ? *v : def;
}

long long IniDocument::ReadInt64(const std::wstring& section, const std::wstring& key, long long def) const {
    auto v = Value(section, key);
    if (!v) return def;
    auto n = ParseIniInteger(*v);
    return n ? *n : def;
}

int IniDocument::ReadInteger(const std::wstring& section, const std::wstring& key, int def) const {
    long long v = ReadInt64(section, key, def);
    return v < INT_MIN || v > INT_MAX ? def : static_cast<int>(v);
}

bool IniDocument::ReadBool(const std::wstring& section, const std::wstring& key, bool def) const {
    auto v = Value(section, key);
    if (!v) return def;
    auto n = ParseIniInteger(*v);
    return n ? *n != 0 : def;
}

double IniDocument::ReadFloat(const std::wstring& section, const std::wstring& key, double def) const {
    auto v = Value(section, key);
    if (!v) return def;
    auto d = ParseIniFloat(*v);
    return d ? *d : def;
}

bool IniDocument::SectionExists(const std::wstring& section) const {
    for (const Line& line : lines_) {
        Entry e = Parse(line.text);
        if (e.kind == Entry::Section && IniNamesEqual(e.name, section)) return true;
    }
    return false;
}

void IniDocument::Insert(size_t at, std::wstring text) {
    // A line added after a last line without a line break gives that line one.
    if (at == lines_.size() && !lines_.empty() && lines_.back().eol.empty()) lines_.back().eol = newline_;
    Line line;
    line.text = std::move(text);
    line.eol = newline_;
    line.changed = true;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

void IniDocument::Append(std::wstring text) { Insert(lines_.size(), std::move(text)); }

void IniDocument::WriteString(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
    std::wstring keyName = Trim(key, 0, key.size());
    std::wstring sectionName = Trim(section, 0, section.size());
    bool keyOk = !keyName.empty() && ValidName(keyName, false) && keyName[0] != L'[' && keyName[0] != L';';
    if (!keyOk || !ValidName(sectionName, true))
        throw Exception(L"Недопустимое имя раздела или ключа: [" + section + L"] " + key);
    for (wchar_t c : value)
        if (c == L'\r' || c == L'\n' || c == L'\0') throw Exception(L"Недопустимое значение ключа " + key);

    int found = FindKey(sectionName, keyName);
    if (found >= 0) {
        Line& line = lines_[static_cast<size_t>(found)];
        Entry e = Parse(line.text);
        std::wstring text = line.text.substr(0, e.valueBegin) + value + line.text.substr(e.valueEnd);
        if (text != line.text) {
            line.text = std::move(text);
            line.changed = true;
        }
        return;
    }

    // The first section of that name gets the key after its last entry.
    for (size_t i = 0; i < lines_.size(); ++i) {
        Entry e = Parse(lines_[i].text);
        if (e.kind != Entry::Section || !IniNamesEqual(e.name, sectionName)) continue;
        size_t at = i + 1;
        for (size_t j = i + 1; j < lines_.size(); ++j) {
            Entry f = Parse(lines_[j].text);
            if (f.kind == Entry::Section) break;
            if (f.kind == Entry::Key || f.kind == Entry::Other) at = j + 1;
        }
        Insert(at, keyName + L"=" + value);
        return;
    }

    if (!lines_.empty() && Parse(lines_.back().text).kind != Entry::Blank) Append(L"");
    Append(L"[" + sectionName + L"]");
    Append(keyName + L"=" + value);
}

void IniDocument::WriteInteger(const std::wstring& section, const std::wstring& key, long long value) {
    WriteString(section, key, std::to_wstring(value));
}

std::string IniDocument::Encode(const std::wstring& text, const std::wstring* path) const {
    if (text.empty()) return {};
    switch (encoding_) {
    case IniEncoding::Utf16LE:
    case IniEncoding::Utf16BE: {
        std::string out(text.size() * 2, '\0');
        for (size_t i = 0; i < text.size(); ++i) {
            auto c = static_cast<unsigned>(text[i]);
            char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
            out[2 * i] = encoding_ == IniEncoding::Utf16LE ? lo : hi;
            out[2 * i + 1] = encoding_ == IniEncoding::Utf16LE ? hi : lo;
        }
        return out;
    }
    case IniEncoding::Utf8:
    case IniEncoding::Utf8Bom: {
        int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
        if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
        return out;
    }
    case IniEncoding::Ansi:
    default: {
        BOOL lossy = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, &lossy);
        std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
        if (n > 0)
            WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()), &out[0], n,
                                nullptr, &lossy);
        if (lossy || n <= 0) {
            std::wstring reason = L"Текст \"" + text + L"\" не может быть записан в кодировке файла";
            if (path) RaiseWrite(*path, reason);
            throw EInOutError(reason);
        }
        return out;
    }
    }
}

std::string IniDocument::Serialize(const std::wstring* path) const {
    std::string out = Bom(encoding_);
    for (const Line& line : lines_) {
        out += line.changed ? Encode(line.text, path) : line.raw;
        out += Encode(line.eol, path);
    }
    return out;
}

std::string IniDocument::ToBytes() const { return Serialize(nullptr); }

std::vector<std::wstring> IniDocument::Lines() const {
    std::vector<std::wstring> out;
    out.reserve(lines_.size());
    for (const Line& line : lines_) out.push_back(line.text);
    return out;
}

void IniDocument::Save(const std::wstring& path) const {
    const std::string bytes = Serialize(&path);

    WIN32_FILE_ATTRIBUTE_DATA old{};
    const bool exists = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &old) != 0;
    if (exists) {
        if (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RaiseCreate(path, SysErrorMessage(ERROR_ACCESS_DENIED));
        if (old.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
            RaiseCreate(path, L"Файл доступен только для чтения");
    }

    // The new content goes to a temporary file in the same folder, so that the
    // final rename replaces the file in one step.
    size_t cut = path.find_last_of(L"\\/");
    const std::wstring folder = cut == std::wstring::npos ? L"." : path.substr(0, cut + 1);
    wchar_t temp[MAX_PATH];
    if (!GetTempFileNameW(folder.c_str(), L"~hl", 0, temp)) RaiseCreate(path, SysErrorMessage(GetLastError()));
    const std::wstring tempPath = temp;
    struct TempGuard {
        const std::wstring& name;
        bool keep = false;
        ~TempGuard() {
            if (!keep) {
                DWORD err = GetLastError();
                DeleteFileW(name.c_str());
                SetLastError(err);
            }
        }
    } guard{tempPath};

    {
        FileHandle out(CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
        if (!out) RaiseCreate(path, SysErrorMessage(GetLastError()));
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20)), wrote = 0;
            if (!WriteFile(out.get(), bytes.data() + done, chunk, &wrote, nullptr) || wrote == 0)
                RaiseWrite(path, SysErrorMessage(GetLastError()));
            done += wrote;
        }
        if (!FlushFileBuffers(out.get())) RaiseWrite(path, SysErrorMessage(GetLastError()));
        if (exists) SetFileTime(out.get(), &old.ftCreationTime, nullptr, nullptr);
        HANDLE h = out.release();
        if (!CloseHandle(h)) RaiseWrite(path, SysErrorMessage(GetLastError()));
    }
    // The new file takes the old one's hidden and system marks.
    if (exists) {
        DWORD keep = old.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                             FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (keep) SetFileAttributesW(tempPath.c_str(), keep);
    }

    if (!MoveFileExW(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        RaiseCreate(path, SysErrorMessage(GetLastError()));
    guard.keep = true;
}

std::optional<long long> ParseIniInteger(const std::wstring& text) {
    size_t i = 0, n = text.size();
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    unsigned base = 10;
    if (i < n && text[i] == L'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) return std::nullopt;
    const unsigned long long limit = negative ? 0x8000000000000000ULL : 0x7FFFFFFFFFFFFFFFULL;
    unsigned long long v = 0;
    for (; i < n; ++i) {
        wchar_t c = text[i];
        unsigned d;
        if (c >= L'0' && c <= L'9')
            d = static_cast<unsigned>(c - L'0');
        else if (base == 16 && c >= L'a' && c <= L'f')
            d = static_cast<unsigned>(c - L'a' + 10);
        else if (base == 16 && c >= L'A' && c <= L'F')
            d = static_cast<unsigned>(c - L'A' + 10);
        else
            return std::nullopt;
        if (v > (limit - d) / base) return std::nullopt;
        v = v * base + d;
    }
    if (negative) return v == 0x8000000000000000ULL ? LLONG_MIN : -static_cast<long long>(v);
    return static_cast<long long>(v);
}

std::optional<double> ParseIniFloat(const std::wstring& text) {
    // [sign] digits [. digits] [e [sign] digits], at least one digit before the exponent.
    std::string ascii;
    size_t i = 0, n = text.size();
    if (i < n && (text[i] == L'+' || text[i] == L'-')) {
        if (text[i] == L'-') ascii += '-';
        ++i;
    }
    size_t digits = 0;
    auto takeDigits = [&]() {
        size_t k = 0;
        while (i < n && text[i] >= L'0' && text[i] <= L'9') {
            ascii += static_cast<char>(text[i++]);
            ++k;
        }
        return k;
    };
    digits += takeDigits();
    if (i < n && text[i] == L'.') {
        ascii += '.';
        ++i;
        digits += takeDigits();
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (text[i] == L'e' || text[i] == L'E')) {
        ascii += 'e';
        ++i;
        if (i < n && (text[i] == L'+' || text[i] == L'-')) ascii += static_cast<char>(text[i++]);
        if (takeDigits() == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;
    double value = 0;
    auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != ascii.data() + ascii.size()) return std::nullopt;
    return value;
}

}  // namespace platform
