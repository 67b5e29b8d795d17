# Cross build of the program and its tests as 64-bit Windows programs. Only
# for machines that cannot run 32-bit Wine: there the tests run this build of
# the same sources under 64-bit Wine, and the shipped 32-bit program is built
# beside it (tools/build).
set(QS_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
