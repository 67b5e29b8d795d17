// Resource, command and control ids, shared by quillsave.rc and the code.
#pragma once

#define IDI_IDLE 1
#define IDI_RUNNING 2
#define IDM_MAIN 30
