#include <string.h>

#include "startup/updater_state.h"

int JoinPath(char* path, size_t size, const char* component)
{
    size_t length = strlen(path);
    size_t add = strlen(component);
    int separator = length > 0 && path[length - 1] != '\\' && path[length - 1] != '/';
    // The joined text, its NUL and the second NUL must fit.
    if (length + separator + add + 2 > size)
        return 0;
    if (separator)
        path[length++] = '\\';
    memcpy(path + length, component, add);
    path[length + add] = 0;
    path[length + add + 1] = 0;
    return 1;
}
