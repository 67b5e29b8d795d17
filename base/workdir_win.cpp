#include "base/workdir.h"

#include <windows.h>

void record_working_directory(WorkingDirectory& dir)
{
    char buffer[MAX_PATH + 1] = {};
    DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    if (n == 0 || n >= sizeof buffer || !copy_field(dir.path, buffer))
        dir.path[0] = 0;
}

bool make_working_directory_current(const WorkingDirectory& dir)
{
    if (dir.path[0] == 0)
        return true;
    return SetCurrentDirectoryA(dir.path) != 0;
}
