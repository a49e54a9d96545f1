@echo off
rem Runs the Tolvane test programs of this kit on Windows and ends with the line
rem "N passed, N failed" (tests of all programs together). Run it from an
rem elevated prompt and again as a standard user. An optional argument is a
rem test filter handed to every program ("HostLaunch.*:ExcludeHelper.*").
setlocal EnableExtensions EnableDelayedExpansion
cd /d "%~dp0"
set filter=*
if not "%~1"=="" set "filter=%~1"
net session >nul 2>&1 && (echo Account: elevated) || (echo Account: standard user)
set passed=0
set failed=0
for %%P in (tolvane_unit_tests.exe tolvane_client_tests.exe) do (
    set "out=%TEMP%\tolvane-kit-%%~nP.txt"
    "%%P" --gtest_color=no "--gtest_filter=!filter!" > "!out!" 2>&1
    set code=!errorlevel!
    set run=0
    set ok=0
    set skipped=0
    for /f "usebackq delims=" %%L in ("!out!") do (
        set "line=%%L"
        set "tag=!line:~0,12!"
        if "!tag!"=="[ RUN      ]" set /a run+=1
        if "!tag!"=="[       OK ]" set /a ok+=1
        if "!tag!"=="[  SKIPPED ]" set /a skipped+=1
        if "!tag!"=="[  FAILED  ]" echo %%L
    )
    set /a passed+=ok, failed+=run-ok-skipped
    rem A program that ends badly without a failed test (it did not start, or crashed) counts once.
    if not "!code!"=="0" if !run!==!ok! set /a failed+=1
    echo %%P: !ok! passed, exit code !code!, output in !out!
)
echo !passed! passed, !failed! failed
if not "!failed!"=="0" exit /b 1
exit /b 0
