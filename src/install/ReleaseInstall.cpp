#include "install/ReleaseInstall.h"

#include <windows.h>
#include <msxml2.h>
#include <oleauto.h>
#include <algorithm>

#include "install/FileCopy.h"
#include "install/ProgramRunners.h"
#include "platform/Exceptions.h"
#include "platform/Handles.h"

namespace {

// MinGW's import libraries lack these identifiers of the XML document object.
const CLSID kClsidDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
const CLSID kClsidDomDocument30 = {0xf5078f32, 0xc551, 0x11d3, {0x89, 0xb9, 0x00, 0x00, 0xf8, 0x1f, 0xe2, 0x21}};
const IID kIidXmlDomDocument = {0x2933bf81, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring NameOf(const std::wstring& path) {
    size_t cut = path.find_last_of(L"\\/:");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

// ---- the XML document ------------------------------------------------------

void Check(HRESULT hr, const wchar_t* what) {
    if (FAILED(hr)) throw platform::EOleError(std::wstring(what) + L": " + platform::SysErrorMessage(hr), hr);
}

struct Variant {
    VARIANT v;
    Variant() { VariantInit(&v); }
    explicit Variant(const std::wstring& text) {
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v); }
};

std::wstring FromBstr(BSTR b) { return b ? std::wstring(b, SysStringLen(b)) : std::wstring(); }

platform::ComPtr<IXMLDOMDocument> NewDocument() {
    platform::ComPtr<IXMLDOMDocument> doc;
    HRESULT hr = CoCreateInstance(kClsidDomDocument60, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDomDocument, doc.put_void());
    if (FAILED(hr))
        hr = CoCreateInstance(kClsidDomDocument30, nullptr, CLSCTX_INPROC_SERVER, kIidXmlDomDocument, doc.put_void());
    Check(hr, L"the XML document object is not available");
    return doc;
}

platform::ComPtr<IXMLDOMNode> SelectSingle(IXMLDOMNode* from, const wchar_t* path) {
    platform::ComPtr<IXMLDOMNode> node;
    platform::Bstr query(path);
    Check(from->selectSingleNode(query.get(), node.put()), L"cannot search the document");
    return node;
}

// Why a document did not load, from its parse error.
std::wstring LoadFailure(IXMLDOMDocument* doc) {
    platform::ComPtr<IXMLDOMParseError> error;
    platform::Bstr reason;
    long line = 0;
    if (SUCCEEDED(doc->get_parseError(error.put())) && error) {
        error->get_reason(reason.put());
        error->get_line(&line);
    }
    std::wstring text = FromBstr(reason.get());
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
    if (text.empty()) return L"the file is not an XML document";
    std::wstring where = line > 0 ? L" (line " + std::to_wstring(line) + L")" : L"";
    return L"the file is not a well-formed XML document: " + text + where;
}

std::string ReadBytes(const std::wstring& path) {
    platform::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD code = GetLastError();
        throw platform::EOSError(platform::SysErrorMessage(code), code);
    }
    std::string bytes;
    char buf[16384];
    DWORD got = 0;
    while (ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got) bytes.append(buf, got);
    return bytes;
}

// What the file had before its root element, so that it is written back the
// same way: byte-order mark, declaration, encoding and line ends.
struct Prolog {
    std::string bom;
    std::string declaration;  // "<?xml ... ?>", empty when there is none
    std::string encoding;     // as declared, in lower case
    bool crlf = false;
};

Prolog ReadProlog(const std::string& bytes) {
    Prolog p;
    size_t at = 0;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        p.bom = bytes.substr(0, 3);
        at = 3;
    } else if (bytes.compare(0, 2, "\xFF\xFE") == 0 || bytes.compare(0, 2, "\xFE\xFF") == 0) {
        p.encoding = "utf-16";
        return p;
    }
    if (bytes.compare(at, 5, "<?xml") == 0) {
        size_t end = bytes.find("?>", at);
        if (end != std::string::npos) p.declaration = bytes.substr(at, end + 2 - at);
    }
    size_t e = p.declaration.find("encoding");
    if (e != std::string::npos) {
        size_t q = p.declaration.find_first_of("\"'", e);
        if (q != std::string::npos) {
            size_t close = p.declaration.find(p.declaration[q], q + 1);
            if (close != std::string::npos) p.encoding = p.declaration.substr(q + 1, close - q - 1);
        }
    }
    for (char& c : p.encoding)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    p.crlf = bytes.find("\r\n") != std::string::npos;
    return p;
}

// The code page of a declared encoding; 0 for one this program does not write itself.
UINT CodePageOf(const std::string& encoding) {
    UINT cp = 0;
    auto number = [](const std::string& digits) -> UINT {
        if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
        return static_cast<UINT>(std::stoul(digits));
    };
    if (encoding.empty() || encoding == "utf-8" || encoding == "utf8")
        cp = CP_UTF8;
    else if (encoding.compare(0, 8, "windows-") == 0)
        cp = number(encoding.substr(8));
    else if (encoding.compare(0, 2, "cp") == 0)
        cp = number(encoding.substr(2));
    else if (encoding == "ibm866")
        cp = 866;
    else if (encoding == "koi8-r")
        cp = 20866;
    else if (encoding == "koi8-u")
        cp = 21866;
    else if (encoding == "us-ascii")
        cp = 20127;
    else if (encoding.compare(0, 9, "iso-8859-") == 0) {
        UINT n = number(encoding.substr(9));
        if (n >= 1 && n <= 9) cp = 28590 + n;
        if (n == 15) cp = 28605;
    }
    return cp && IsValidCodePage(cp) ? cp : 0;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    platform::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    if (!file || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) ||
        done != bytes.size() || !SetEndOfFile(file.get())) {
        DWORD code = GetLastError();
        throw platform::EOSError(L"cannot write the file: " + platform::SysErrorMessage(code), code);
    }
}

// Writes the document back in the encoding its file declares. The document
// object's own save is not used for that: some implementations (Wine's among
// them) write UTF-8 bytes under a declaration of "windows-1251", which the
// suite's updater then reads as mojibake. The serialized text is encoded
// here, after the file's own declaration, with the file's line ends. An
// encoding this program does not know, or text that the encoding cannot
// hold, is left to the document object's save.
void SaveDocument(IXMLDOMDocument* doc, const std::wstring& path, const Prolog& prolog) {
    UINT cp = CodePageOf(prolog.encoding);
    std::string bytes;
    if (cp) {
        platform::Bstr xml;
        Check(doc->get_xml(xml.put()), L"cannot serialize the document");
        std::wstring text;
        std::wstring raw = FromBstr(xml.get());
        text.reserve(raw.size());
        for (size_t i = 0; i < raw.size(); ++i)
            if (!(raw[i] == L'\r' && i + 1 < raw.size() && raw[i + 1] == L'\n')) text += raw[i];
        if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
        if (text.compare(0, 5, L"<?xml") == 0) {
            size_t end = text.find(L"?>");
            text.erase(0, end == std::wstring::npos ? text.size() : end + 2);
            text.erase(0, std::min(text.size(), text.find_first_not_of(L" \t\n")));
        }
        if (!prolog.declaration.empty())
            text = std::wstring(prolog.declaration.begin(), prolog.declaration.end()) + L"\n" + text;
        if (prolog.crlf) {
            std::wstring withCr;
            withCr.reserve(text.size() + text.size() / 16);
            for (wchar_t c : text) {
                if (c == L'\n') withCr += L'\r';
                withCr += c;
            }
            text.swap(withCr);
        }
        BOOL lost = FALSE;
        int n = WideCharToMultiByte(cp, cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(),
                                    static_cast<int>(text.size()), nullptr, 0, nullptr, cp == CP_UTF8 ? nullptr : &lost);
        if (n > 0 && !lost) {
            bytes = prolog.bom;
            size_t start = bytes.size();
            bytes.resize(start + static_cast<size_t>(n));
            WideCharToMultiByte(cp, cp == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                                &bytes[start], n, nullptr, nullptr);
        } else if (!text.empty()) {
            cp = 0;
        }
    }
    if (cp) {
        WriteBytes(path, bytes);
        return;
    }
    Variant target(path);
    Check(doc->save(target.v), L"cannot save the document");
}

void WriteLevel(const std::wstring& path, const std::wstring& level) {
    Prolog prolog = ReadProlog(ReadBytes(path));

    platform::ComPtr<IXMLDOMDocument> doc = NewDocument();
    doc->put_async(VARIANT_FALSE);
    doc->put_preserveWhiteSpace(VARIANT_TRUE);  // keep the file's layout
    Variant source(path);
    VARIANT_BOOL loaded = VARIANT_FALSE;
    doc->load(source.v, &loaded);

    platform::ComPtr<IXMLDOMElement> element;
    doc->get_documentElement(element.put());
    if (!element) throw platform::Exception(LoadFailure(doc.get()));
    platform::ComPtr<IXMLDOMNode> root = SelectSingle(element.get(), L"/ROOT");
    if (!root) throw platform::Exception(L"there is no ROOT element");

    long version = 0;
    platform::ComPtr<IXMLDOMNode> versionNode = SelectSingle(root.get(), L"Version");
    if (versionNode) {
        Variant value;
        Check(versionNode->get_nodeTypedValue(&value.v), L"cannot read the Version element");
        Variant number;
        if (FAILED(VariantChangeType(&number.v, &value.v, 0, VT_I4))) {
            platform::Bstr text;
            versionNode->get_text(text.put());
            throw platform::Exception(L"the Version element holds no whole number: \"" + FromBstr(text.get()) + L"\"");
        }
        version = number.v.lVal;
    }
    if (version != 1) throw platform::Exception(L"unknown release file version");

    platform::ComPtr<IXMLDOMNode> levelNode = SelectSingle(root.get(), L"Level");
    if (!levelNode) throw platform::Exception(L"there is no Level element");
    Variant value(level);
    Check(levelNode->put_nodeTypedValue(value.v), L"cannot set the Level element");

    SaveDocument(doc.get(), path, prolog);
}

// ---- the release folders ---------------------------------------------------

bool SortsBefore(const std::wstring& a, const std::wstring& b) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

// Makes D the current folder again however the release's script ended.
class CurrentFolderAfter {
public:
    explicit CurrentFolderAfter(std::wstring folder) : folder_(std::move(folder)) {}
    CurrentFolderAfter(const CurrentFolderAfter&) = delete;
    CurrentFolderAfter& operator=(const CurrentFolderAfter&) = delete;
    ~CurrentFolderAfter() { SetCurrentDirectoryW(folder_.c_str()); }

private:
    std::wstring folder_;
};

}  // namespace

void SortReleaseFolders(std::vector<std::wstring>& folders) {
    std::stable_sort(folders.begin(), folders.end(), SortsBefore);
}

int ReleaseKey(const std::wstring& releaseFolder) {
    std::wstring last = releaseFolder.size() >= 6 ? releaseFolder.substr(releaseFolder.size() - 6) : releaseFolder;
    std::wstring text = last.size() == 6 ? last.substr(4, 2) + last.substr(2, 2) + last.substr(0, 2) : last;
    bool digits = text.size() == 6 && text.find_first_not_of(L"0123456789") == std::wstring::npos;
    if (!digits)
        throw platform::EConvertError(L"Не удаётся определить выпуск программы по имени папки " + releaseFolder +
                                      L": \"" + text + L"\" не является целым числом");
    return std::stoi(text);
}

std::wstring ChooseRelease(const std::vector<std::wstring>& folders) {
    if (folders.empty()) throw platform::EListError(L"В папке backup нет ни одного выпуска программы");
    size_t chosen = 0;
    int best = ReleaseKey(folders[0]);
    for (size_t i = 1; i < folders.size(); ++i) {
        int key = ReleaseKey(folders[i]);
        if (key > best) {
            best = key;
            chosen = i;
        }
    }
    return folders[chosen];
}

std::wstring ReleaseLevel(const std::wstring& releaseFolder) {
    std::wstring name = NameOf(releaseFolder);
    return name.empty() ? name : name.substr(1);
}

void InstallRelease(const std::wstring& distribution, const std::wstring& destination) {
    const std::wstring& S = distribution;
    const std::wstring& D = destination;

    if (!DirExists(D + L"Backup\\")) CreateDirectoryW((D + L"backup\\").c_str(), nullptr);
    CopyFolder(S + L"backup", D + L"backup");
    CopyFolder(S + L"Updater", D);  // the updater's files land in D itself
    SetReadOnlyAttribute(D + L"ReleaseInfo", false);
    SetReadOnlyAttribute(D + L"Updater.exe.cfg", false);

    std::vector<std::wstring> releases;
    ListSubfolders(D + L"backup\\", releases);
    SortReleaseFolders(releases);
    std::wstring release = ChooseRelease(releases);

    {
        CurrentFolderAfter restore(D);
        SetCurrentDirectoryW((release + L"\\").c_str());
        RunAndWait(release + L"\\Install.cmd", L"", SW_HIDE);
    }
    WriteReleaseLevel(D, ReleaseLevel(release));
}

void WriteReleaseLevel(const std::wstring& folder, const std::wstring& level) {
    platform::ComInit com;
    std::wstring path = folder + L"ReleaseInfo";
    if (!FileExists(path)) throw platform::Exception(L"Release info file does not exist");
    try {
        WriteLevel(path, level);
    } catch (const std::exception& e) {
        throw platform::Exception(L"Cannot get release information, error: " + platform::ExceptionMessage(e));
    }
}
