// Value lists: comma-separated items with an optional "N:" disc-number prefix.
#include <string.h>

#include "config/config.h"

static int EndsItem(char c)
{
    return c == 0 || c == '\n' || c == '\r' || c == ',';
}

int NextListItem(char* item, const char** cursor)
{
    const char* p = *cursor;
    while (*p == ' ' || *p == '\t')
        p++;
    *cursor = p;
    // An empty item ends the list; the cursor stays on its separator.
    if (EndsItem(*p))
        return 0;

    const char* start = p;
    int hasPrefix = p[1] == ':';
    if (hasPrefix)
        start = p + 2;
    const char* end = start;
    while (!EndsItem(*end))
        end++;

    // An item that does not fit the slot is refused rather than cut: a cut
    // item would name another file. The cursor stays on its first byte, so
    // that this and every later call return 0 and ListItemTooLong tells why.
    size_t length = (size_t)(end - start);
    if (length > ItemSize - 1)
        return 0;

    if (hasPrefix)
        CurrentDiscNumber = *p >= '0' && *p <= '9' ? *p - '0' : 0;
    memcpy(item, start, length);
    item[length] = 0;
    // The NUL that ends the text ends the list: the cursor stays on it, so
    // nothing behind the text is ever read.
    *cursor = *end ? end + 1 : end;
    return 1;
}

int ListItemTooLong(const char* cursor)
{
    return !EndsItem(*cursor);
}
