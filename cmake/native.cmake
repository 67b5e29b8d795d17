# Native build: the OS-free code, tested with AddressSanitizer and UBSan.
set(QS_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

if(QS_FUZZ)
  # Fuzzers: clang, libFuzzer with ASan and UBSan; one binary per fuzz/*.cpp.
  add_library(qs_portable_fuzz STATIC ${QS_PORTABLE})
  qs_target_options(qs_portable_fuzz)
  target_compile_options(qs_portable_fuzz PRIVATE -g -fsanitize=fuzzer-no-link,address,undefined)
  file(GLOB fuzzers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)
  foreach(src ${fuzzers})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    qs_target_options(${name})
    target_compile_options(${name} PRIVATE -g -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${name} PRIVATE qs_portable_fuzz)
  endforeach()
  return()
endif()

add_library(qs_portable STATIC ${QS_PORTABLE})
qs_target_options(qs_portable)
target_compile_options(qs_portable PUBLIC ${QS_SANITIZE})
target_link_options(qs_portable PUBLIC ${QS_SANITIZE})

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB native_tests CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(native_tests ${native_tests})
qs_target_options(native_tests)
target_link_libraries(native_tests PRIVATE qs_portable gtest_main)
gtest_discover_tests(native_tests TEST_PREFIX "native." DISCOVERY_TIMEOUT 60
  PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1;UBSAN_OPTIONS=print_stacktrace=1")

# The floors stand on each other one way: no include runs against the order
# app -> dialogs -> store -> engine -> base (tests/layers/check.py).
add_test(NAME layers.order COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/layers/check.py ${CMAKE_SOURCE_DIR})

# The manual against the program: menu texts, the gallery's pictures and the
# help's links (tests/docs/drift.py).
add_test(NAME docs.drift COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/docs/drift.py ${CMAKE_SOURCE_DIR})
