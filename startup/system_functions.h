// The system functions that the updater reaches through a table bound by name
// at run time instead of through its import table.
#ifndef STARTUP_SYSTEM_FUNCTIONS_H
#define STARTUP_SYSTEM_FUNCTIONS_H

#include <windows.h>
#include <shellapi.h>

struct SystemFunctionTable {
    HANDLE (WINAPI* CreateFileA)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
    BOOL (WINAPI* WriteFile)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    BOOL (WINAPI* ReadFile)(HANDLE, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
    DWORD (WINAPI* GetFileSize)(HANDLE, LPDWORD);
    DWORD (WINAPI* SetFilePointer)(HANDLE, LONG, PLONG, DWORD);
    BOOL (WINAPI* CloseHandle)(HANDLE);
    BOOL (WINAPI* SetFileAttributesA)(LPCSTR, DWORD);
    DWORD (WINAPI* GetFileAttributesA)(LPCSTR);
    int (WINAPI* SHFileOperationA)(LPSHFILEOPSTRUCTA);
    LONG (WINAPI* RegOpenKeyExA)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
    LONG (WINAPI* RegQueryValueExA)(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
    LONG (WINAPI* RegCloseKey)(HKEY);
    HRSRC (WINAPI* FindResourceA)(HMODULE, LPCSTR, LPCSTR);
    DWORD (WINAPI* SizeofResource)(HMODULE, HRSRC);
    HGLOBAL (WINAPI* LoadResource)(HMODULE, HRSRC);
    LPVOID (WINAPI* LockResource)(HGLOBAL);
};

enum { SystemFunctionCount = 16, BoundAtStartCount = 12, SystemLibraryCount = 3 };

extern SystemFunctionTable SystemFunctions;

// Library handles in load order: KERNEL32.DLL, SHELL32.DLL, ADVAPI32.DLL.
extern HMODULE SystemLibraries[SystemLibraryCount];

// How a name is put together at run time with wsprintfA: a library name from
// single letters (%c), a function name from up to four word pieces (%s).
struct LibraryRecipe {
    const char* Format;
    char Letters[12];
};

struct FunctionRecipe {
    int Library;            // index into SystemLibraries
    const char* Format;
    const char* Pieces[4];
};

// The recipes in table order. They are data so that a test can substitute a
// name that does not exist; the updater never changes them.
extern const LibraryRecipe* LibraryRecipes;   // SystemLibraryCount entries
extern const FunctionRecipe* FunctionRecipes; // SystemFunctionCount entries
extern const LibraryRecipe DefaultLibraryRecipes[SystemLibraryCount];
extern const FunctionRecipe DefaultFunctionRecipes[SystemFunctionCount];

// Loads the three libraries and looks up entries 1 to 12, all of them, before
// testing any result. Returns 1 when everything was found, else 0. No message.
int BindSystemFunctions(void);

// Looks up entries 13 to 16 (the resource functions) in KERNEL32.DLL.
// Returns 1 when all four were found, else 0.
int BindResourceFunctions(void);

#endif
