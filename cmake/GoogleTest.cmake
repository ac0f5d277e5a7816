# GoogleTest and GoogleMock as GTest::gtest, GTest::gmock and GTest::gtest_main. A native build
# uses the installed libraries; a cross build (or a machine without them) builds Debian's sources
# in /usr/src/googletest for the target, since the installed libraries are the host's.
set(VESK_GTEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest sources for builds for another machine")

if(NOT CMAKE_CROSSCOMPILING)
  find_package(GTest QUIET)
endif()

if(NOT TARGET GTest::gtest)
  if(NOT EXISTS ${VESK_GTEST_SOURCES}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest not found: install libgtest-dev and libgmock-dev "
                        "(or configure with -DBUILD_TESTING=OFF)")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${VESK_GTEST_SOURCES} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main gmock gmock_main)
    # Their headers come in as system headers, so our warnings stay ours.
    get_target_property(dirs ${lib} INTERFACE_INCLUDE_DIRECTORIES)
    set_target_properties(${lib} PROPERTIES INTERFACE_SYSTEM_INCLUDE_DIRECTORIES "${dirs}")
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
endif()
