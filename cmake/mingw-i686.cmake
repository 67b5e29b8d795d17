# Cross build of the 32-bit Windows program, the one that ships.
set(QS_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
