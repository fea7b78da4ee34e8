// Start-up of the shared units: the settings file, the language choice and the
// localized names, run on real files in a folder standing for the executable's.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/ZT_Common_Const.h"
#include "common/ZT_Common_Proc.h"
#include "common/ZT_Common_Types.h"
#include "common/ZT_Common_Var.h"
#include "support/TestSupport.h"

using testsupport::TempDir;

namespace {

// A folder standing for the executable's, with Settings\ in it.
class ProgramFolderFixture : public ::testing::Test {
protected:
    void SetUp() override { testsupport::MakeDirs(dir / L"Settings"); }
    void WriteSettings(const std::string& bytes) { testsupport::WriteFileBytes(dir / L"Settings\\holter.ini", bytes); }
    void WriteLanguage(const std::string& bytes) { testsupport::WriteFileBytes(dir / L"Settings\\EngView.lng", bytes); }
    void Startup() { CommonUnitsStartup(dir.path()); }
    TempDir dir;
};

// Every localized text: where it lives, its key and its built-in Russian text.
struct Name {
    const char* section;  // nullptr: no key
    const char* key;
    const wchar_t* russian;
    std::wstring* entry;
};

std::vector<Name> AllNames() {
    const char* M = "ZT_Messages";
    const char* P = "ZT_Common_Proc";
    return {
        {M, "Normo", L"Нормостеник", &BodyTypeNames[0]},
        {M, "Giper", L"Гиперстеник", &BodyTypeNames[1]},
        {M, "Asten", L"Астеник", &BodyTypeNames[2]},
        {M, "Gip", L"Гипертония", &DiagnosisNames[0]},
        {M, "NIP", L"Нефрит или пиелонефрит", &DiagnosisNames[1]},
        {M, "NMK", L"Нарушение мозгового кровообращения", &DiagnosisNames[2]},
        {M, "IBS", L"ИБС", &DiagnosisNames[3]},
        {M, "Ste", L"Стенокардия", &DiagnosisNames[4]},
        {M, "PKa", L"Постинфарктный кардиосклероз", &DiagnosisNames[5]},
        {M, "IPF", L"Инфаркт, подострая фаза", &DiagnosisNames[6]},
        {M, "Rev", L"Ревматизм", &DiagnosisNames[7]},
        {M, "NCD", L"НЦД", &DiagnosisNames[8]},
        {M, "HNZ", L"Хрон. неспецифич. заболевания легких", &DiagnosisNames[9]},
        {M, "BAs", L"Бронхиальная астма", &DiagnosisNames[10]},
        {M, "IOF", L"Инфаркт, острая фаза", &DiagnosisNames[11]},
        {M, "MSt", L"Митральный стеноз", &DiagnosisNames[12]},
        {M, "API", L"Аортальный порок или митр. недостат", &DiagnosisNames[13]},
        {M, "DMP", L"Дефект межжелудочковой перегородки", &DiagnosisNames[14]},
        {M, "DMPP", L"Дефект межпредсердной перегородки", &DiagnosisNames[15]},
        {M, "OAP", L"Общий артериальный проток", &DiagnosisNames[16]},
        {M, "SAo", L"Стеноз аорты", &DiagnosisNames[17]},
        {M, "KAo", L"Коарктация аорты", &DiagnosisNames[18]},
        {M, "SLA", L"Стеноз лег. арт, тетр. и триада Фало", &DiagnosisNames[19]},
        {M, "IVR", L"Искусственный водитель ритма", &DiagnosisNames[20]},
        {nullptr, nullptr, L"Сахарный диабет", &DiagnosisNames[21]},
        {M, "SGl", L"сердечные гликозиды", &DrugNames[0]},
        {M, "Hin", L"хинидин", &DrugNames[1]},
        {M, "Kor", L"кордарон", &DrugNames[2]},
        {M, "PAn", L"пр. антиритмические", &DrugNames[3]},
        {M, "NPr", L"нитропрепараты", &DrugNames[4]},
        {M, "ACA", L"Антогонисты Ca", &DrugNames[5]},  // "Ca" in Latin letters
        {M, "BBl", L"Б-блокаторы", &DrugNames[6]},
        {M, "Ant", L"антигипертензионные", &DrugNames[7]},
        {M, "Diu", L"диуретики", &DrugNames[8]},
        {M, "Norm", L"Норма", &ConductionNames[0]},
        {M, "BLN", L"БЛН", &ConductionNames[1]},
        {M, "BPN", L"БПН", &ConductionNames[2]},
        {nullptr, nullptr, L"WPW", &ConductionNames[3]},
        {M, "nOp", L"Не определен", &ConductionNames[4]},
        {P, "Sbo", L"СБОЙ", &FailureWord},
        {P, "Met", L"МЕТКА", &MarkWord},
        {P, "nnn", L"н", &LetterN},
        {P, "sss", L"с", &LetterS},
    };
}

void SpoilAllNames() {
    for (const Name& n : AllNames()) *n.entry = L"spoilt";
}

}  // namespace

// ------------------------------------------------------------------ settings

using SettingsFile = ProgramFolderFixture;

TEST_F(SettingsFile, MissingFileGivesTheDefaults) {
    // Fill the record with other values first, to see what the reader sets.
    CommonSettings.HViewType = hvtOnline;
    CommonSettings.CorrectProbeli = true;
    CommonSettings.forMVD = true;
    CommonSettings.Person = 9;
    CommonSettings.LanguageSetting = L"ENG";
    Startup();
    const TSettings& s = CommonSettings;
    EXPECT_EQ(ProgramFolder, dir.path());
    EXPECT_EQ(s.LanguageSetting, L"");
    EXPECT_EQ(LanguageFile, L"");
    EXPECT_TRUE(s.doformshow);
    EXPECT_TRUE(s.NurseMode);
    EXPECT_TRUE(s.DoctorMode);
    EXPECT_EQ(s.HardwareType, 1);
    EXPECT_EQ(s.ChannelGain, 1.0);
    EXPECT_EQ(s.ChannelGain12, 1.0);
    EXPECT_EQ(s.FilterType, 0);
    EXPECT_EQ(s.New_Reg, 0);
    EXPECT_EQ(s.DefaultRegType, RegType_VAKECG);
    for (bool b : {s.DebugPrint, s.DebugMy, s.PoverkaView, s.HviewDebug, s.GroupProcess, s.EnabledScrining,
                   s.ECGAtRestWork, s.OnlyDecode, s.SaveSwap, s.forGE, s.EMIASTESTINGMODE, s.EMIASEMULATINGMODE,
                   s.RegEmulating, s.AriadnaSearchTesting, s.UserIsMS, s.PraktikaSearchTesting, s.PraktikaTesting})
        EXPECT_FALSE(b);
    EXPECT_FALSE(s.forMVD);
    EXPECT_EQ(s.Person, 0);
    EXPECT_EQ(s.HViewType, hvtOnline) << "no key fills it";
    EXPECT_TRUE(s.CorrectProbeli) << "no key fills it";
}

TEST_F(SettingsFile, FolderWithoutTrailingDelimiterGetsOne) {
    std::wstring folder = dir.path();
    folder.pop_back();
    CommonUnitsStartup(folder);
    EXPECT_EQ(ProgramFolder, dir.path());
}

TEST(SettingsStartup, WithoutArgumentUsesTheExecutablesFolder) {
    wchar_t self[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    CommonUnitsStartup();
    EXPECT_EQ(ProgramFolder, path.substr(0, path.rfind(L'\\') + 1));
    EXPECT_EQ(LanguageFile, L"");
}

TEST_F(SettingsFile, ValueForms) {
    using Field = std::function<double(const TSettings&)>;
    const Field gain1 = [](const TSettings& s) { return s.ChannelGain; };
    const Field gain2 = [](const TSettings& s) { return s.ChannelGain12; };
    const Field debugPrint = [](const TSettings& s) { return s.DebugPrint; };
    const Field doformshow = [](const TSettings& s) { return s.doformshow; };
    const Field hardware = [](const TSettings& s) { return s.HardwareType; };
    const Field filter = [](const TSettings& s) { return s.FilterType; };
    const Field newReg = [](const TSettings& s) { return s.New_Reg; };
    const Field regType = [](const TSettings& s) { return s.DefaultRegType; };
    struct Case {
        const char* file;
        Field field;
        double expected;
    } cases[] = {
        {"[options]\r\nChannel1Gain=2.5\r\n", gain1, 2.5},
        {"[options]\r\nChannel1Gain=2,5\r\n", gain1, 1.0},
        {"[options]\r\nChannel1Gain=\r\n", gain1, 1.0},
        {"[options]\r\nChannel2Gain=-0.75\r\n", gain2, -0.75},
        {"[options]\r\nDebugPrint=2\r\n", debugPrint, 1},
        {"[options]\r\nDebugPrint=yes\r\n", debugPrint, 0},
        {"[options]\r\nDebugPrint=true\r\n", debugPrint, 0},
        {"[options]\r\ndoformshow=abc\r\n", doformshow, 1},
        {"[options]\r\ndoformshow=0\r\n", doformshow, 0},
        {"[options]\r\ndoformshow=\r\n", doformshow, 1},
        {"[options]\r\nHardwareType=0x10\r\n", hardware, 16},
        {"[options]\r\nHardwareType=$10\r\n", hardware, 16},
        {"[options]\r\nHardwareType=-3\r\n", hardware, -3},
        {"[options]\r\nHardwareType=12abc\r\n", hardware, 1},
        {"[options]\r\nHardwareType=4294967296\r\n", hardware, 1},
        {"[OPTIONS]\r\nFILTERTYPE=7\r\n", filter, 7},
        {"[options]\r\n  FilterType  =  9  \r\n", filter, 9},
        {"[options]\r\nFilterType=$FF\r\n", filter, 255},
        {"[options]\r\nFilterType=256\r\n", filter, 0},
        {"[options]\r\nFilterType=-1\r\n", filter, 0},
        {"[other]\r\nFilterType=7\r\n", filter, 0},
        {"[options]\r\nnew_reg=5\r\n", newReg, 5},
        {"[options]\r\nNew_Reg=300\r\n", newReg, 0},
        {"[options]\r\nDefaultRegType=3\r\n", regType, RegType_VAKECG_ADDidorav},
        {"[options]\r\nDefaultRegType=7\r\n", regType, RegType_Didorav_ECGAD},
        {"[options]\r\nDefaultRegType=8\r\n", regType, RegType_VAKECG},
        {"[options]\r\nDefaultRegType=-1\r\n", regType, RegType_VAKECG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WriteSettings(c.file);
        Startup();
        EXPECT_EQ(c.field(CommonSettings), c.expected);
    }
}

TEST_F(SettingsFile, EveryKeyIsReadUnderItsOwnName) {
    WriteSettings(
        "; all keys set away from their defaults\r\n"
        "[options]\r\n"
        "DebugPrint=1\r\nDebugMy=1\r\nPoverkaView=1\r\nHviewDebug=1\r\nGroupProcess=1\r\ndoformshow=0\r\n"
        "EnabledScrining=1\r\nECGAtRestWork=1\r\nonlydecode=1\r\nsaveswap=1\r\nChannel1Gain=0.5\r\n"
        "Channel2Gain=1.25\r\nHardwareType=4\r\nFilterType=2\r\nforGE=1\r\nLanguageSetting=RUS\r\nnew_reg=3\r\n"
        "DefaultRegType=5\r\nNurseMode=0\r\nDoctorMode=0\r\nEMIASTESTINGMODE=1\r\nEMIASEMULATINGMODE=1\r\n"
        "RegEmulating=1\r\nAriadnaSearchTesting=1\r\nUserIsMS=1\r\nPraktikaSearchTesting=1\r\nPraktikaTesting=1\r\n"
        "forMVD=1\r\nPerson=4\r\nCorrectProbeli=1\r\nHViewType=2\r\n");
    CommonSettings.HViewType = hvtStandart;
    CommonSettings.CorrectProbeli = false;
    Startup();
    const TSettings& s = CommonSettings;
    for (bool b : {s.DebugPrint, s.DebugMy, s.PoverkaView, s.HviewDebug, s.GroupProcess, s.EnabledScrining,
                   s.ECGAtRestWork, s.OnlyDecode, s.SaveSwap, s.forGE, s.EMIASTESTINGMODE, s.EMIASEMULATINGMODE,
                   s.RegEmulating, s.AriadnaSearchTesting, s.UserIsMS, s.PraktikaSearchTesting, s.PraktikaTesting})
        EXPECT_TRUE(b);
    EXPECT_FALSE(s.doformshow);
    EXPECT_FALSE(s.NurseMode);
    EXPECT_FALSE(s.DoctorMode);
    EXPECT_EQ(s.ChannelGain, 0.5);
    EXPECT_EQ(s.ChannelGain12, 1.25);
    EXPECT_EQ(s.HardwareType, 4);
    EXPECT_EQ(s.FilterType, 2);
    EXPECT_EQ(s.LanguageSetting, L"RUS");
    EXPECT_EQ(s.New_Reg, 3);
    EXPECT_EQ(s.DefaultRegType, RegType_Didorav_AD);
    // Fields without a key of their own.
    EXPECT_FALSE(s.forMVD);
    EXPECT_EQ(s.Person, 0);
    EXPECT_FALSE(s.CorrectProbeli);
    EXPECT_EQ(s.HViewType, hvtStandart);
    // The number format is set by the reader.
    EXPECT_EQ(FormatSettings.DecimalSeparator, L'.');
    EXPECT_EQ(FormatSettings.ThousandSeparator, L' ');
}

TEST_F(SettingsFile, UnreadableFileGivesTheDefaults) {
    WriteSettings("[options]\r\nHardwareType=5\r\n");
    HANDLE lock = CreateFileW((dir / L"Settings\\holter.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Startup();
    CloseHandle(lock);
    EXPECT_EQ(CommonSettings.HardwareType, 1);
}

// ------------------------------------------------------------------ language and names

using LocalizedNames = ProgramFolderFixture;

TEST_F(LocalizedNames, OnlyExactlyEngChoosesTheLanguageFile) {
    WriteLanguage("[ZT_Messages]\r\nGip=Hypertension\r\n");
    struct Case {
        const char* setting;
        bool english;
    } cases[] = {{"ENG", true}, {"eng", false}, {"RUS", false}, {"", false}, {"ENGL", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setting);
        WriteSettings(std::string("[options]\r\nLanguageSetting=") + c.setting + "\r\n");
        Startup();
        EXPECT_EQ(LanguageFile, c.english ? dir / L"Settings\\EngView.lng" : L"");
        EXPECT_EQ(DiagnosisNames[0], c.english ? L"Hypertension" : L"Гипертония");
    }
}

TEST_F(LocalizedNames, BuiltInRussianTextsWithoutALanguageFile) {
    // Russian by setting, and English chosen but its file missing.
    for (const char* setting : {"RUS", "ENG"}) {
        SCOPED_TRACE(setting);
        WriteSettings(std::string("[options]\r\nLanguageSetting=") + setting + "\r\n");
        SpoilAllNames();
        Startup();
        for (const Name& n : AllNames()) EXPECT_EQ(*n.entry, n.russian) << (n.key ? n.key : "no key");
    }
    EXPECT_EQ(DrugNames[5].substr(DrugNames[5].size() - 2), L"Ca") << "Latin letters";
    EXPECT_EQ(DrugNames[6][1], L'-') << "ASCII hyphen";
}

TEST_F(LocalizedNames, OneKeyAndOneEmptyValue) {
    WriteSettings("[options]\r\nLanguageSetting=ENG\r\n");
    WriteLanguage("[zt_messages]\r\nGip=Hypertension\r\nNorm=\r\n");
    SpoilAllNames();
    Startup();
    for (const Name& n : AllNames()) {
        std::wstring expected = n.russian;
        if (n.entry == &DiagnosisNames[0]) expected = L"Hypertension";
        if (n.entry == &ConductionNames[0]) expected = L"";  // present but empty: empty, not built-in
        EXPECT_EQ(*n.entry, expected) << (n.key ? n.key : "no key");
    }
}

TEST_F(LocalizedNames, EveryKeyFromTheFileButTheTwoWithoutKeys) {
    // A full language file in UTF-16, with guesses at keys for the two fixed entries.
    std::wstring text = L"\xFEFF; English names\r\n";
    for (const char* section : {"ZT_Messages", "ZT_Common_Proc"}) {
        text += L"[" + testsupport::FromUtf8(section) + L"]\r\n";
        for (const Name& n : AllNames())
            if (n.section && std::string(n.section) == section)
                text += testsupport::FromUtf8(n.key) + L" = en-" + testsupport::FromUtf8(n.key) + L"\r\n";
    }
    text += L"[ZT_Messages]\r\nWPW=none\r\nSDi=none\r\nSah=none\r\n";
    std::string bytes;
    for (wchar_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    WriteLanguage(bytes);
    WriteSettings("[options]\r\nLanguageSetting=ENG\r\n");
    Startup();
    for (const Name& n : AllNames())
        EXPECT_EQ(*n.entry, n.key ? L"en-" + testsupport::FromUtf8(n.key) : std::wstring(n.russian));
}

// ------------------------------------------------------------------ types

TEST(SharedTypes, ClearEmptiesEveryField) {
    TStartXmlObject x;
    std::vector<std::wstring*> texts = {&x.filename, &x.Code,      &x.Amcart,      &x.FIO,         &x.Birthday,
                                        &x.Birthday_YY, &x.Birthday_MM, &x.Birthday_DD, &x.Pol,     &x.Constitution,
                                        &x.AD,       &x.Doctor,    &x.Diagnosys,   &x.Otdel,       &x.Area,
                                        &x.Palata,   &x.Address,   &x.Workplace,   &x.Policy,      &x.Medic};
    ASSERT_EQ(texts.size(), 20u);
    for (std::wstring* t : texts) *t = L"Иванов";
    x.ADS = 120;
    x.ADD = 80;
    x.IWR = 3;
    x.clear();
    for (std::wstring* t : texts) EXPECT_TRUE(t->empty());
    EXPECT_EQ(x.ADS, 0);
    EXPECT_EQ(x.ADD, 0);
    EXPECT_EQ(x.IWR, 0);
}
