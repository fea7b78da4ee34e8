// The executable's own resources: icon group, version block, manifest, information page.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "../resources/resource_ids.h"

namespace {

std::string ResourceBytes(const wchar_t* name, const wchar_t* type) {
    HMODULE m = GetModuleHandleW(nullptr);
    HRSRC r = FindResourceW(m, name, type);
    if (!r) return {};
    HGLOBAL g = LoadResource(m, r);
    return std::string(static_cast<const char*>(LockResource(g)), SizeofResource(m, r));
}

#pragma pack(push, 2)
struct GroupIconDirEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

}  // namespace

TEST(ExecutableResources, IconGroupHas16And32PixelPicturesAt24Bits) {
    std::string group = ResourceBytes(MAKEINTRESOURCEW(IDI_APPICON), MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */);
    ASSERT_GE(group.size(), 6u);
    WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    ASSERT_EQ(count, 2);
    ASSERT_EQ(group.size(), 6u + count * sizeof(GroupIconDirEntry));
    int sizes = 0;
    for (int i = 0; i < count; ++i) {
        auto* e = reinterpret_cast<const GroupIconDirEntry*>(group.data() + 6 + i * sizeof(GroupIconDirEntry));
        EXPECT_EQ(e->bitCount, 24);
        sizes |= e->width;
        // The picture itself: a bitmap header of 24 bits per pixel, twice as high (colour + mask).
        std::string pic = ResourceBytes(MAKEINTRESOURCEW(e->id), MAKEINTRESOURCEW(3) /* RT_ICON */);
        ASSERT_GE(pic.size(), sizeof(BITMAPINFOHEADER));
        auto* bih = reinterpret_cast<const BITMAPINFOHEADER*>(pic.data());
        EXPECT_EQ(bih->biBitCount, 24);
        EXPECT_EQ(bih->biWidth, e->width);
        EXPECT_EQ(bih->biHeight, 2 * e->width);
    }
    EXPECT_EQ(sizes, 16 | 32);
    HICON small = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPICON), IMAGE_ICON, 16, 16, 0));
    EXPECT_NE(small, nullptr);
    if (small) DestroyIcon(small);
}

TEST(ExecutableResources, VersionBlockNamesInstall8743) {
    std::string block = ResourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */);
    ASSERT_FALSE(block.empty());
    // VS_FIXEDFILEINFO follows the L"VS_VERSION_INFO" key.
    size_t at = block.find(std::string("\xBD\x04\xEF\xFE", 4));
    ASSERT_NE(at, std::string::npos);
    auto* fixed = reinterpret_cast<const VS_FIXEDFILEINFO*>(block.data() + at);
    EXPECT_EQ(fixed->dwFileVersionMS, (8u << 16) | 74u);
    EXPECT_EQ(fixed->dwFileVersionLS, (3u << 16) | 0u);
    std::wstring wide(reinterpret_cast<const wchar_t*>(block.data()), block.size() / 2);
    EXPECT_NE(wide.find(L"8.74.3.0"), std::wstring::npos);
    // A string value: its key, padding nulls, then the text.
    auto value = [&wide](const std::wstring& key) {
        size_t k = wide.find(key + L'\0');
        if (k == std::wstring::npos) return std::wstring(L"<missing>");
        size_t v = wide.find_first_not_of(L'\0', k + key.size());
        return wide.substr(v, wide.find(L'\0', v) - v);
    };
    EXPECT_EQ(value(L"ProductVersion"), L"8.74.3");
    EXPECT_EQ(value(L"FileVersion"), L"8.74.3.0");
    EXPECT_EQ(value(L"FileDescription"), L"Install");
    EXPECT_EQ(value(L"ProductName"), L"Install");
}

TEST(ExecutableResources, ManifestAsksForNoElevationPerMonitorDpiAndCommonControls6) {
    std::string m = ResourceBytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24) /* RT_MANIFEST */);
    EXPECT_NE(m.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(m.find("<dpiAware>True/PM</dpiAware>"), std::string::npos);
    EXPECT_NE(m.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                           "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                           "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(m.find(os), std::string::npos) << os;
}

TEST(ExecutableResources, InfoPageIsRussianRichText) {
    std::string rtf = ResourceBytes(L"INFO", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    ASSERT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("\\ansicpg1251"), std::string::npos);
    // "Права администратора" and "Интерфейсный блок" as \uN escapes.
    EXPECT_NE(rtf.find("\\u1055?\\u1088?\\u1072?\\u1074?\\u1072? \\u1072?\\u1076?\\u1084?"), std::string::npos);
    EXPECT_NE(rtf.find("\\u1048?\\u1085?\\u1090?\\u1077?\\u1088?\\u1092?\\u1077?\\u1081?\\u1089?"), std::string::npos);
}

TEST(ExecutableResources, StringTableHoldsTheEntriesTheProgramReads) {
    auto text = [](UINT id) {
        wchar_t buf[256] = {};
        int n = LoadStringW(GetModuleHandleW(nullptr), id, buf, 256);
        return std::wstring(buf, n > 0 ? n : 0);
    };
    EXPECT_EQ(text(IDS_APPNAME), L"Holter");
    EXPECT_EQ(text(IDS_SUITENAME), L"Арвела - Холтер");
    EXPECT_EQ(text(IDS_SUITEDESCR), L"Комплекс суточного мониторирования электрокардиограмм");
    EXPECT_EQ(text(IDS_MAINPROGRAM), L"Shell.exe");
}
