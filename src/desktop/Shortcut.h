// Shell shortcuts (".lnk") in the user's shell folders or in a given folder.
#pragma once

#include <string>

// Where CreateShortcut puts the shortcut.
enum ShortcutKind : unsigned char {
    skDesktop = 0,      // HKCU ...\Explorer\Shell Folders, "Desktop"
    skQuickLaunch = 1,  // HKCU ...\GrpConv\MapGroups, "Quick Launch"
    skSendTo = 2,       // HKCU ...\Explorer\Shell Folders, "SendTo"
    skStartMenu = 3,    // HKCU ...\Explorer\Shell Folders, "Start Menu"
    skFolder = 4,       // subFolder is the whole folder
    // 5 and above: no shortcut is written
};

// Writes a shortcut to target with the given arguments and description.
//  - subFolder: for kinds 0 to 3 a folder inside the shell folder (empty: the
//    shell folder itself; it must exist); for kind 4 the full folder path.
//  - workingFolder: the start-in folder; empty means the target's folder,
//    with its trailing "\".
//  - linkName: the shortcut's name; empty means the target's file name. The
//    text after its last "." is replaced by "lnk", and any folder part dropped.
//  - linkPath receives the full path of the shortcut, and keeps its value
//    when the kind gives no folder (kind 5+, or a shell folder not listed).
// The shell folder is read from the current user's registry; its key is
// opened with full access and created when missing. Raises platform::EOleError
// when the shell's link object is not available and platform::Exception when
// the registry value is not text. Whether the link object could save the file
// is not examined.
void CreateShortcut(const std::wstring& target, unsigned char kind, const std::wstring& subFolder,
                    const std::wstring& workingFolder, const std::wstring& arguments,
                    const std::wstring& description, const std::wstring& linkName, std::wstring& linkPath);

// The shortcut's file name for a link name (or for the target when the link
// name is empty): "Арвела - Холтер" -> "Арвела - Холтер.lnk",
// "C:\H\Shell.exe" -> "Shell.lnk", "Suite 8.74" -> "Suite 8.lnk".
std::wstring ShortcutFileName(const std::wstring& target, const std::wstring& linkName);
