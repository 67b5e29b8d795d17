# Cross build: the program, the tests run under Wine, the benchmarks.
add_compile_definitions(WINVER=0x0600 _WIN32_WINNT=0x0600 NOMINMAX)

add_library(qs_core STATIC ${QS_ALL})
qs_target_options(qs_core)
target_link_libraries(qs_core PUBLIC comctl32 comdlg32 shell32 gdi32 advapi32 ole32)

# The emulator used by ctest: a wrapper generated with this build's paths.
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

qs_sources(QS_APP app)
list(REMOVE_ITEM QS_APP ${CMAKE_SOURCE_DIR}/app/main.cpp)
file(GLOB QS_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc)
if(QS_APP)
  add_library(qs_app STATIC ${QS_APP})
  qs_target_options(qs_app)
  target_link_libraries(qs_app PUBLIC qs_core)
else()
  add_library(qs_app INTERFACE)
  target_link_libraries(qs_app INTERFACE qs_core)
endif()

add_executable(quillsave WIN32 app/main.cpp ${QS_RC})
qs_target_options(quillsave)
target_link_libraries(quillsave PRIVATE qs_app)
set_target_properties(quillsave PROPERTIES OUTPUT_NAME quillsave)

# Wine runs every Windows test: one prefix inside the build folder, one
# persistent wineserver and one Xvfb display for the whole ctest run.
set(QS_WINE ${CMAKE_BINARY_DIR}/wine-run)
add_test(NAME wine.setup COMMAND ${QS_WINE} --start)
add_test(NAME wine.cleanup COMMAND ${QS_WINE} --stop)
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

# Each folder of Windows tests is one executable; its cases become ctest
# tests when ctest starts (the wrapper brings the prefix up first).
foreach(kind wine e2e)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${kind}/*.cpp)
  if(NOT srcs)
    continue()
  endif()
  set(serial)
  if(kind STREQUAL "e2e")
    # The end-to-end tests share the temporary folders and file helpers, and
    # run one at a time: they drive menus and windows on one display.
    list(APPEND srcs ${CMAKE_SOURCE_DIR}/tests/wine/support.cpp)
    set(serial RUN_SERIAL TRUE)
  endif()
  add_executable(${kind}_tests ${srcs} ${QS_RC})
  qs_target_options(${kind}_tests)
  target_link_libraries(${kind}_tests PRIVATE qs_app gtest_main)
  target_compile_definitions(${kind}_tests PRIVATE
    QS_EXE_PATH="$<TARGET_FILE:quillsave>")
  add_dependencies(${kind}_tests quillsave)
  gtest_discover_tests(${kind}_tests TEST_PREFIX "${kind}." DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120 PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300 ${serial})
endforeach()

file(GLOB benches CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/*.cpp)
foreach(src ${benches})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  qs_target_options(${name})
  target_link_libraries(${name} PRIVATE qs_app)
endforeach()
