// Types the suite's programs exchange through the shared units.
#pragma once

#include <cstdint>
#include <string>

// Kind of recorder. Stored in one byte; the settings file holds its number.
enum Tregtype : std::uint8_t {
    RegType_VAKECG,
    RegType_VAKECG_AD2005,
    RegType_ECGBP2008,
    RegType_VAKECG_ADDidorav,
    RegType_ADBP2005,
    RegType_Didorav_AD,
    RegType_Didorav_ECG,
    RegType_Didorav_ECGAD
};

// View mode of the suite's viewer. Stored in one byte.
enum THViewType : std::uint8_t {
    hvtStandart,
    hvtFragment,
    hvtOnline,
    hvtTest,
    hvtSaveSkr,
    hvtSaveDin,
    hvtAD,
    hvtNone
};

static_assert(sizeof(Tregtype) == 1 && sizeof(THViewType) == 1, "both enumerations are stored in one byte");

// The suite's settings, filled from section "options" of holter.ini by
// ReadSettingsFile (the key of each field is noted where it differs from the name).
struct TSettings {
    THViewType HViewType = hvtStandart;  // not in the file
    bool DebugPrint = false;
    bool DebugMy = false;
    bool PoverkaView = false;
    bool HviewDebug = false;
    bool GroupProcess = false;
    bool doformshow = false;
    bool EnabledScrining = false;
    bool ECGAtRestWork = false;
    bool OnlyDecode = false;         // "onlydecode"
    bool SaveSwap = false;           // "saveswap"
    double ChannelGain = 0.0;        // "Channel1Gain": gain of channel 1
    double ChannelGain12 = 0.0;      // "Channel2Gain": gain of channel 2
    std::int32_t HardwareType = 0;
    std::uint8_t FilterType = 0;
    bool CorrectProbeli = false;     // not in the file
    bool forMVD = false;             // not in the file; always false
    bool forGE = false;
    std::uint8_t Person = 0;         // not in the file; always 0
    std::wstring LanguageSetting;    // "ENG" selects English names, anything else Russian
    std::uint8_t New_Reg = 0;        // "new_reg"
    Tregtype DefaultRegType = RegType_VAKECG;
    bool NurseMode = false;
    bool DoctorMode = false;
    bool EMIASTESTINGMODE = false;
    bool EMIASEMULATINGMODE = false;
    bool RegEmulating = false;
    bool AriadnaSearchTesting = false;
    bool UserIsMS = false;
    bool PraktikaSearchTesting = false;
    bool PraktikaTesting = false;
};

// Start data of one patient examination.
struct TStartXmlObject {
    std::wstring filename;
    std::wstring Code;
    std::wstring Amcart;       // outpatient card number
    std::wstring FIO;          // patient's full name
    std::wstring Birthday;
    std::wstring Birthday_YY;
    std::wstring Birthday_MM;
    std::wstring Birthday_DD;
    std::wstring Pol;          // sex
    std::wstring Constitution; // body build
    std::wstring AD;           // blood pressure
    std::int32_t ADS = 0;      // systolic pressure
    std::int32_t ADD = 0;      // diastolic pressure
    std::wstring Doctor;
    std::wstring Diagnosys;
    std::wstring Otdel;        // hospital department
    std::wstring Area;
    std::wstring Palata;       // ward
    std::wstring Address;
    std::wstring Workplace;
    std::wstring Policy;       // insurance policy
    std::wstring Medic;        // medical worker
    std::int32_t IWR = 0;

    // Empties every text and sets ADS, ADD and IWR to 0.
    void clear();
};
