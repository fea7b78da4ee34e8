@echo off
rem Installs this release's programs into the installation folder.
copy /y "%~dp0Shell.exe" "..\..\Shell.exe" >nul
echo %~dp0> "%~dp0installed.mark"
exit /b 0
