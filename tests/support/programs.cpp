#include "support/programs.h"

#include <windows.h>

std::string WindowsPath(const std::string& unixPath)
{
    std::string out = "Z:" + unixPath;
    for (char& c : out)
        if (c == '/')
            c = '\\';
    return out;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

int RunProgram(const std::string& exe, const std::string& arguments)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string command = Quoted(exe) + " " + arguments;
    if (!CreateProcessA(exe.c_str(), &command[0], 0, 0, FALSE, 0, 0, 0, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = (DWORD)-1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return (int)code;
}
