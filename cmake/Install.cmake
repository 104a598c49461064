# The integrator's kit: what `cmake --install <build> --prefix <dir>` lays out.
#
#   bin/                    convertapi.dll (Windows); convertapi, the command-line tool
#   lib/                    libconvertapi.dll.a, the import library, and convertapi.def
#                           (Windows); libconvertapi.so and libhostwin.so (host)
#   lib/convertapi/         the stand-in driver and ticket library (host): the tool's
#                           embedded default
#   include/                convertapi.h (on the host also hostwin/win32.h, which it includes)
#   lib/cmake/convertapi/   the CMake package: find_package(convertapi) gives the
#                           imported target convertapi::convertapi
#
# The package's version file also checks the pointer size, so a 64-bit caller
# never picks up the 32-bit product DLL's kit by mistake.
include(CMakePackageConfigHelpers)

set(CONVERTAPI_PACKAGE_DIR lib/cmake/convertapi)

# The DLL's VERSIONINFO (convertapi/api/convertapi.rc) carries this project's version.
if(WIN32)
  set_source_files_properties(${PROJECT_SOURCE_DIR}/convertapi/api/convertapi.rc
    DIRECTORY ${PROJECT_SOURCE_DIR}/convertapi
    PROPERTIES COMPILE_DEFINITIONS
      "CONVERTAPI_VERSION_MAJOR=${PROJECT_VERSION_MAJOR};CONVERTAPI_VERSION_MINOR=${PROJECT_VERSION_MINOR};CONVERTAPI_VERSION_PATCH=${PROJECT_VERSION_PATCH};CONVERTAPI_VERSION_TEXT=${PROJECT_VERSION}")
endif()

# The exported targets name their headers by the source tree while building
# and by include/ once installed.
function(convertapi_install_interface target)
  get_target_property(dirs ${target} INTERFACE_INCLUDE_DIRECTORIES)
  set(build_dirs "")
  foreach(dir IN LISTS dirs)
    list(APPEND build_dirs "$<BUILD_INTERFACE:${dir}>")
  endforeach()
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES "${build_dirs}")
endfunction()

set(exported convertapi)
if(NOT WIN32)
  list(APPEND exported hostwin)  # convertapi.h declares its types through hostwin on the host
endif()
foreach(target IN LISTS exported)
  convertapi_install_interface(${target})
endforeach()

install(TARGETS ${exported} EXPORT convertapiTargets
  RUNTIME DESTINATION bin
  LIBRARY DESTINATION lib
  ARCHIVE DESTINATION lib
  INCLUDES DESTINATION include)
install(FILES ${PROJECT_SOURCE_DIR}/include/convertapi.h DESTINATION include)
install(TARGETS convertapi_cli RUNTIME DESTINATION bin)

if(WIN32)
  # The module-definition file that this DLL was linked with: the 32-bit one
  # names the __stdcall symbols with their decoration, the 64-bit build's copy
  # without (convertapi/CMakeLists.txt).
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    install(FILES ${PROJECT_SOURCE_DIR}/convertapi/api/convertapi.def DESTINATION lib)
  else()
    install(FILES ${PROJECT_BINARY_DIR}/convertapi/convertapi.def DESTINATION lib)
  endif()
else()
  install(FILES ${PROJECT_SOURCE_DIR}/hostwin/include/hostwin/win32.h DESTINATION include/hostwin)
  install(TARGETS standin_driver standin_ticketlib LIBRARY DESTINATION lib/convertapi)
  # Found where they were installed, without LD_LIBRARY_PATH.
  set_target_properties(convertapi_cli PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
  set_target_properties(convertapi PROPERTIES INSTALL_RPATH "$ORIGIN")
  set_target_properties(standin_driver standin_ticketlib PROPERTIES INSTALL_RPATH "$ORIGIN/..")
endif()

install(EXPORT convertapiTargets NAMESPACE convertapi:: DESTINATION ${CONVERTAPI_PACKAGE_DIR})
set(CONVERTAPI_INSTALL_INCLUDE_DIR include)
set(CONVERTAPI_INSTALL_DEF_FILE lib/convertapi.def)
if(WIN32)
  set(CONVERTAPI_INSTALL_HAS_DEF TRUE)
else()
  set(CONVERTAPI_INSTALL_HAS_DEF FALSE)
endif()
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/convertapiConfig.cmake.in
  ${PROJECT_BINARY_DIR}/convertapiConfig.cmake
  INSTALL_DESTINATION ${CONVERTAPI_PACKAGE_DIR}
  PATH_VARS CONVERTAPI_INSTALL_INCLUDE_DIR CONVERTAPI_INSTALL_DEF_FILE)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/convertapiConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/convertapiConfig.cmake ${PROJECT_BINARY_DIR}/convertapiConfigVersion.cmake
  DESTINATION ${CONVERTAPI_PACKAGE_DIR})
