#include "startup/startup.h"

void ConvertLineBreaks(const char* text, char* out)
{
    const char* p = text;
    while (*p) {
        const char* next = CharNextA(p);
        if (next - p == 1 && p[0] == '\\' && p[1] == 'n') {
            *out++ = '\r';
            p += 2;
            continue;
        }
        while (p < next)
            *out++ = *p++;
    }
    *out = 0;
}
