#include "startup/system_functions.h"

SystemFunctionTable SystemFunctions;
HMODULE SystemLibraries[SystemLibraryCount];

const LibraryRecipe DefaultLibraryRecipes[SystemLibraryCount] = {
    { "%c%c%c%c%c%c%c%c.%c%c%c", { 'K', 'E', 'R', 'N', 'E', 'L', '3', '2', 'D', 'L', 'L' } },
    { "%c%c%c%c%c%c%c.%c%c%c", { 'S', 'H', 'E', 'L', 'L', '3', '2', 'D', 'L', 'L' } },
    { "%c%c%c%c%c%c%c%c.%c%c%c", { 'A', 'D', 'V', 'A', 'P', 'I', '3', '2', 'D', 'L', 'L' } },
};

enum { Kernel = 0, Shell = 1, Advapi = 2 };

const FunctionRecipe DefaultFunctionRecipes[SystemFunctionCount] = {
    { Kernel, "%s%s%s", { "Create", "File", "A", 0 } },
    { Kernel, "%s%s", { "Write", "File", 0, 0 } },
    { Kernel, "%s%s", { "Read", "File", 0, 0 } },
    { Kernel, "%s%s%s", { "Get", "File", "Size", 0 } },
    { Kernel, "%s%s%s", { "Set", "File", "Pointer", 0 } },
    { Kernel, "%s%s", { "Close", "Handle", 0, 0 } },
    { Kernel, "%s%s%s%s", { "Set", "File", "Attributes", "A" } },
    { Kernel, "%s%s%s%s", { "Get", "File", "Attributes", "A" } },
    { Shell, "%s%s%s%s", { "SH", "File", "Operation", "A" } },
    { Advapi, "%s%s%s%s", { "Reg", "Open", "KeyEx", "A" } },
    { Advapi, "%s%s%s%s", { "Reg", "Query", "ValueEx", "A" } },
    { Advapi, "%s%s%s", { "Reg", "Close", "Key", 0 } },
    { Kernel, "%s%s%s", { "Find", "Resource", "A", 0 } },
    { Kernel, "%s%s", { "Sizeof", "Resource", 0, 0 } },
    { Kernel, "%s%s", { "Load", "Resource", 0, 0 } },
    { Kernel, "%s%s", { "Lock", "Resource", 0, 0 } },
};

const LibraryRecipe* LibraryRecipes = DefaultLibraryRecipes;
const FunctionRecipe* FunctionRecipes = DefaultFunctionRecipes;

static FARPROC* TableSlot(int index)
{
    return reinterpret_cast<FARPROC*>(&SystemFunctions) + index;
}

// Looks up entries first..last, each in its library, storing what is found
// (possibly nothing). name is the caller's buffer for the composed name.
static void LookUp(int first, int last, char* name)
{
    for (int i = first; i <= last; i++) {
        const FunctionRecipe& f = FunctionRecipes[i];
        wsprintfA(name, f.Format, f.Pieces[0], f.Pieces[1], f.Pieces[2], f.Pieces[3]);
        HMODULE lib = SystemLibraries[f.Library];
        *TableSlot(i) = lib ? GetProcAddress(lib, name) : 0;
    }
}

int BindSystemFunctions(void)
{
    char name[128];
    for (int i = 0; i < SystemLibraryCount; i++) {
        const char* l = LibraryRecipes[i].Letters;
        wsprintfA(name, LibraryRecipes[i].Format, l[0], l[1], l[2], l[3], l[4], l[5], l[6], l[7],
                  l[8], l[9], l[10]);
        SystemLibraries[i] = LoadLibraryA(name);
    }
    LookUp(0, BoundAtStartCount - 1, name);

    // Every load and look-up has been made; only now are the results tested.
    int ok = 1;
    for (int i = 0; i < SystemLibraryCount; i++)
        if (!SystemLibraries[i])
            ok = 0;
    for (int i = 0; i < BoundAtStartCount; i++)
        if (!*TableSlot(i))
            ok = 0;
    return ok;
}

int BindResourceFunctions(void)
{
    char name[64];
    LookUp(BoundAtStartCount, SystemFunctionCount - 1, name);
    for (int i = BoundAtStartCount; i < SystemFunctionCount; i++)
        if (!*TableSlot(i))
            return 0;
    return 1;
}
