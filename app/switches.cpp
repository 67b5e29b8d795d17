#include "app/switches.h"

int parse_switches(const char* arguments)
{
    int auto_start = 0;
    if (arguments == nullptr)
        return auto_start;
    for (const char* p = arguments; *p != 0; ++p) {
        if (*p != '/')
            continue;
        ++p;  // the letter after "/", possibly the terminating zero
        switch (*p) {
        case 'B': case 'b': auto_start = 1; break;
        case 'T': case 't': auto_start = 2; break;
        case 'S': case 's': auto_start = 3; break;
        case 0: return auto_start;  // a trailing "/" sets nothing
        default: break;
        }
    }
    return auto_start;
}
