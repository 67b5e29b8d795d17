# Cross build: the program, the tests run under Wine, the benchmarks.
add_compile_definitions(WINVER=0x0600 _WIN32_WINNT=0x0600 NOMINMAX)

add_library(qs_core STATIC ${QS_ALL})
qs_target_options(qs_core)
target_link_libraries(qs_core PUBLIC comctl32 comdlg32 shell32 gdi32 advapi32 ole32)

# The emulator used by ctest: a wrapper generated with this build's paths.
# A 64-bit build runs under Wine's 64-bit loader and server by their own
# names: the plain "wine" command takes the 32-bit loader whenever it is
# installed, also where 32-bit programs cannot run.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(QS_WINE_LOADER /usr/lib/wine/wine64)
  set(QS_WINESERVER /usr/lib/wine/wineserver64)
else()
  set(QS_WINE_LOADER wine)
  set(QS_WINESERVER wineserver)
endif()
configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

qs_sources(QS_APP app)
# The two entries: main.cpp of the shipped program, test_seams.cpp of the
# fault suite's build of it.
list(REMOVE_ITEM QS_APP ${CMAKE_SOURCE_DIR}/app/main.cpp ${CMAKE_SOURCE_DIR}/app/test_seams.cpp)
file(GLOB QS_RC CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/*.rc)
if(QS_APP)
  add_library(qs_app STATIC ${QS_APP})
  qs_target_options(qs_app)
  target_link_libraries(qs_app PUBLIC qs_core)
else()
  add_library(qs_app INTERFACE)
  target_link_libraries(qs_app INTERFACE qs_core)
endif()

# windres does not tell CMake what the script includes.
set_source_files_properties(${QS_RC} PROPERTIES OBJECT_DEPENDS
  "${CMAKE_SOURCE_DIR}/resources/about.bmp;${CMAKE_SOURCE_DIR}/resources/quillsave.manifest;${CMAKE_SOURCE_DIR}/resources/version.h;${CMAKE_SOURCE_DIR}/resources/resource.h")

add_executable(quillsave WIN32 app/main.cpp ${QS_RC})
qs_target_options(quillsave)
target_link_libraries(quillsave PRIVATE qs_app)
set_target_properties(quillsave PROPERTIES OUTPUT_NAME quillsave)

# The same program with the fault suite's seams (QS_TEST_* variables), for
# the tests that inject faults and for tools/soak only. Every other test
# runs quillsave.exe as tools/release ships it.
add_executable(quillsave_seams WIN32 app/test_seams.cpp ${QS_RC})
qs_target_options(quillsave_seams)
target_link_libraries(quillsave_seams PRIVATE qs_app)

# The help pages and their pictures live beside the program (help/), where
# its help commands open them.
file(GLOB_RECURSE QS_HELP CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/help ${CMAKE_SOURCE_DIR}/help/*)
set(QS_HELP_COPIES)
foreach(name ${QS_HELP})
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/help/${name}
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/help/${name} ${CMAKE_BINARY_DIR}/help/${name}
    DEPENDS ${CMAKE_SOURCE_DIR}/help/${name} VERBATIM)
  list(APPEND QS_HELP_COPIES ${CMAKE_BINARY_DIR}/help/${name})
endforeach()
add_custom_target(help_pages ALL DEPENDS ${QS_HELP_COPIES})
add_dependencies(quillsave help_pages)

# Wine runs every Windows test: one prefix inside the build folder, one
# persistent wineserver and one Xvfb display for the whole ctest run.
set(QS_WINE ${CMAKE_BINARY_DIR}/wine-run)
add_test(NAME wine.setup COMMAND ${QS_WINE} --start)
add_test(NAME wine.cleanup COMMAND ${QS_WINE} --stop)
set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine)
# The fault suite's full destination: a small disk that comes and goes
# with the prefix.
foreach(action mount umount)
  add_test(NAME wine.small_disk_${action} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/small_disk.sh ${action}
    ${CMAKE_BINARY_DIR}/small-disk)
endforeach()
set_tests_properties(wine.small_disk_mount PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine.small_disk_umount PROPERTIES FIXTURES_CLEANUP wine)
# A network share \\nas\backup: a folder of the build reached through the
# prefix's dosdevices/unc, mapped once the prefix is there and gone with it.
foreach(action map unmap)
  add_test(NAME wine.share_${action} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/share.sh ${action}
    ${CMAKE_BINARY_DIR}/wineprefix ${CMAKE_BINARY_DIR}/share)
endforeach()
set_tests_properties(wine.share_map PROPERTIES FIXTURES_SETUP wine DEPENDS wine.setup)
set_tests_properties(wine.share_unmap PROPERTIES FIXTURES_CLEANUP wine)

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
    QS_EXE_PATH="$<TARGET_FILE:quillsave>" QS_SEAMS_EXE_PATH="$<TARGET_FILE:quillsave_seams>"
    QS_SMALL_DISK="${CMAKE_BINARY_DIR}/small-disk" QS_BACKUP_DISK="${CMAKE_BINARY_DIR}/backup-disk"
    QS_SHARE_FOLDER="${CMAKE_BINARY_DIR}/share" QS_USB_DISK="${CMAKE_BINARY_DIR}/usb-disk"
    QS_USB_DISK_TOOL="${CMAKE_SOURCE_DIR}/tests/e2e/usb_disk.sh")
  add_dependencies(${kind}_tests quillsave quillsave_seams)
  gtest_discover_tests(${kind}_tests TEST_PREFIX "${kind}." DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120 PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 300 ${serial})
endforeach()

# The checks of texts that must stay whole and of sizes that must grow with
# the display, run again at 125, 150 and 200 % (the runs above are at 96
# DPI). Serial: the DPI is the whole prefix's.
set(QS_DPI_WINE_TESTS "AppResources.EveryCaptionOfEveryDialogFitsItsControl:\
AppResources.SettingsBoxesShowTheirLongestItemWhole:AppWindow.ListViewHasTheFiveColumnsGridAndFullRowSelect:\
AppWindow.StatusBarShowsFivePartsFromThePositionAndFlags:FolderSelect.ItemListKeepsItsPlaceInTheDialogAtTheDisplaysDpi")
foreach(dpi 120 144 192)
  add_test(NAME dpi.${dpi} COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/at_dpi.sh ${QS_WINE} ${dpi}
    $<TARGET_FILE:wine_tests> ${QS_DPI_WINE_TESTS} $<TARGET_FILE:e2e_tests> "Desktop.*")
  set_tests_properties(dpi.${dpi} PROPERTIES FIXTURES_REQUIRED wine RUN_SERIAL TRUE TIMEOUT 600)
endforeach()

add_executable(run_bench bench/run_bench.cpp)
qs_target_options(run_bench)
target_link_libraries(run_bench PRIVATE qs_app)
# The run of the real program, driven from outside as the end-to-end tests
# drive it.
add_executable(program_bench bench/program_bench_win.cpp tests/e2e/harness.cpp tests/wine/support.cpp)
qs_target_options(program_bench)
target_link_libraries(program_bench PRIVATE qs_app gtest)
target_compile_definitions(program_bench PRIVATE QS_EXE_PATH="$<TARGET_FILE:quillsave>"
  QS_SEAMS_EXE_PATH="$<TARGET_FILE:quillsave_seams>")
add_dependencies(program_bench quillsave)

# The drivers of tools/gallery (the README's screenshots) and tools/soak
# (the long run that watches memory and handles): not tests, built only when
# those tools run.
foreach(driver gallery soak)
  add_executable(${driver}_driver EXCLUDE_FROM_ALL tools/${driver}_win.cpp tests/e2e/harness.cpp
    tests/wine/support.cpp)
  qs_target_options(${driver}_driver)
  target_link_libraries(${driver}_driver PRIVATE qs_app gtest)
  target_compile_definitions(${driver}_driver PRIVATE QS_EXE_PATH="$<TARGET_FILE:quillsave>"
    QS_SEAMS_EXE_PATH="$<TARGET_FILE:quillsave_seams>")
  add_dependencies(${driver}_driver quillsave quillsave_seams)
endforeach()

# The release package (tools/release). quillsave.exe comes out the same
# from the same sources, wherever and whenever it is built: no link time in
# the PE header, source paths in __FILE__ relative to the source folder, and
# in a release no symbols (the static runtime's carry its own build paths).
target_link_options(quillsave PRIVATE -Wl,--no-insert-timestamp $<$<CONFIG:Release>:-s>)
foreach(t quillsave qs_app qs_core)
  target_compile_options(${t} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=>)
endforeach()

# The tests make the package once (the fixture), make it again in another
# folder and compare the bytes, and unpack it and run it as a user would.
file(STRINGS ${CMAKE_SOURCE_DIR}/resources/version.h QS_VERSION REGEX "^#define QS_VERSION ")
string(REGEX REPLACE "^#define QS_VERSION \"([^\"]*)\".*" "\\1" QS_VERSION "${QS_VERSION}")
set(QS_PACKAGE ${CMAKE_SOURCE_DIR}/dist/quillsave-${QS_VERSION}-win32.zip)
add_test(NAME package.release COMMAND ${CMAKE_SOURCE_DIR}/tools/release)
add_test(NAME package.reproducible COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/reproducible.sh
  ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}/package-again ${CMAKE_SOURCE_DIR}/build/release ${QS_PACKAGE})
add_executable(package_tests tests/package/package_test.cpp tests/e2e/harness.cpp tests/wine/support.cpp)
qs_target_options(package_tests)
target_link_libraries(package_tests PRIVATE qs_core gtest_main)
target_compile_definitions(package_tests PRIVATE QS_EXE_PATH="$<TARGET_FILE:quillsave>"
  QS_SEAMS_EXE_PATH="$<TARGET_FILE:quillsave_seams>")
add_test(NAME package.check COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/check.sh
  ${CMAKE_BINARY_DIR} $<TARGET_FILE:package_tests> ${QS_PACKAGE} ${CMAKE_SOURCE_DIR})
set_tests_properties(package.release PROPERTIES FIXTURES_SETUP package TIMEOUT 900)
set_tests_properties(package.reproducible PROPERTIES FIXTURES_REQUIRED package TIMEOUT 900)
set_tests_properties(package.check PROPERTIES FIXTURES_REQUIRED "package;wine" RUN_SERIAL TRUE TIMEOUT 600)
