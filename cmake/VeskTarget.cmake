# vesk_library(name SOURCES... [DEPS ...]): one core layer as a static library, warnings as errors.
function(vesk_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE ${VESK_WARNINGS})
  if(ARG_DEPS)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  endif()
endfunction()

# vesk_test(name SOURCES... [DEPS ...] [TIMEOUT s] [NOT_EMULATED cases...]): one test program
# registered with ctest, run offscreen so window tests never need a display. Under an emulator (a
# cross build) the NOT_EMULATED cases are left out: they start threads or child processes, in which
# qemu-user 7.2 hangs on the CI machine (a program that starts one std::thread never ends there);
# the native builds run them.
function(vesk_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS;NOT_EMULATED" ${ARGN})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 120)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${VESK_WARNINGS})
  target_link_libraries(${name} PRIVATE vesk_test_support ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(args "")
  if(CMAKE_CROSSCOMPILING AND ARG_NOT_EMULATED)
    list(JOIN ARG_NOT_EMULATED ":" left_out)
    set(args "--gtest_filter=-${left_out}")
  endif()
  add_test(NAME ${name} COMMAND ${name} ${args})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VESK_TEST_BIN_DIR=${CMAKE_BINARY_DIR}/app")
endfunction()
