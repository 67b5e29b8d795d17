// Process entry: everything else lives in the program's library, where the
// tests reach it too.
#include <windows.h>

#include "app/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int show)
{
    return run_program(instance, arguments, show);
}
