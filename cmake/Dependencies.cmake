# Third-party code, all from Debian's packages (scripts/setup.sh installs them):
#   rapidxml  - XML parser of the stand-in ticket library (header-only)
#   CLI11     - argument parser of the command-line tool (header-only)
#   GoogleTest - tests; the host build uses the packaged library, the Windows
#                builds compile it from /usr/src/googletest
#   Google Benchmark - benchmarks, host build
# mingw does not search /usr/include (and must not: glibc's headers live there),
# so the header-only packages are reached through a folder of symlinks.
set(CONVERTAPI_THIRD_PARTY_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${CONVERTAPI_THIRD_PARTY_INCLUDE})
foreach(dep rapidxml CLI)
  if(EXISTS /usr/include/${dep} AND NOT EXISTS ${CONVERTAPI_THIRD_PARTY_INCLUDE}/${dep})
    file(CREATE_LINK /usr/include/${dep} ${CONVERTAPI_THIRD_PARTY_INCLUDE}/${dep} SYMBOLIC)
  endif()
endforeach()
add_library(third_party_headers INTERFACE)
target_include_directories(third_party_headers SYSTEM INTERFACE ${CONVERTAPI_THIRD_PARTY_INCLUDE})
