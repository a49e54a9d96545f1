@echo off
rem Runs the Tolvane test programs of this kit on Windows and ends with the line
rem "N passed, N failed" (tests of all programs together). Run it from an
rem elevated prompt and again as a standard user. An optional argument is a
rem test filter handed to every program ("HostLaunch.*:ExcludeHelper.*").
setlocal EnableExtensions
cd /d "%~dp0"
set "filter=*"
if not "%~1"=="" set "filter=%~1"
net session >nul 2>&1
if errorlevel 1 (echo Account: standard user) else (echo Account: elevated)
set passed=0
set failed=0
call :program tolvane_unit_tests
call :program tolvane_client_tests
echo %passed% passed, %failed% failed
if not "%failed%"=="0" exit /b 1
exit /b 0

rem :program NAME runs NAME.exe and adds its tests to the counts.
:program
set "out=%TEMP%\tolvane-kit-%1.txt"
"%~dp0%1.exe" --gtest_color=no "--gtest_filter=%filter%" > "%out%" 2>&1
set code=%errorlevel%
set run=0
set ok=0
set skipped=0
for /f "usebackq tokens=1* delims=]" %%A in ("%out%") do (
    if "%%A"=="[ RUN      " set /a run+=1
    if "%%A"=="[       OK " set /a ok+=1
    if "%%A"=="[  SKIPPED " set /a skipped+=1
    if "%%A"=="[  FAILED  " echo FAILED:%%B
)
set /a passed+=ok, failed+=run-ok-skipped
rem A program that ends badly without a failed test (it did not start, or crashed) counts once.
if not "%code%"=="0" if %run%==%ok% set /a failed+=1
echo %1: %ok% passed, exit code %code%, output in %out%
exit /b 0
