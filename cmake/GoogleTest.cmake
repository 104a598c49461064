# GoogleTest: the packaged library on the host; compiled from Debian's sources
# for the Windows builds (mingw cannot link the host's libgtest).
if(TARGET GTest::gtest_main)
  return()
endif()
if(WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # googletest 1.12 names its targets GTest::gtest etc. itself.
  foreach(lib gtest gtest_main gmock)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()

# One ctest entry per test program: under Wine each process start costs time.
function(convertapi_add_test_program name)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(WIN32)
    # Under Wine every program shares the prefix's registry and printers.
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine_prefix)
  endif()
endfunction()
