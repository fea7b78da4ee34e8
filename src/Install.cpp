// Install.exe: the installation wizard of the "Арвела-Холтер" suite.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    MessageBoxW(nullptr, L"Установка комплекса", L"Install", MB_OK);
    return 0;
}
