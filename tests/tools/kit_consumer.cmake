# The integrator's kit as a caller meets it: `cmake --install` into a fresh
# prefix, the layout checked, then examples/consumer configured and built
# against the installed package with find_package(convertapi), and run.
#   -DBUILD=<this build> -DSOURCE=<source tree> -DWORK=<scratch folder>
#   -DGENERATOR=<generator> [-DTOOLCHAIN=<file>] [-DEMULATOR=<runner>] -DWINDOWS=<ON|OFF>
#   -DC_COMPILER -DCXX_COMPILER -DC_FLAGS -DCXX_FLAGS -DLINKER_FLAGS: as this build has them
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nfailed (${result}):\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK})
set(prefix ${WORK}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})

set(expected include/convertapi.h lib/cmake/convertapi/convertapiConfig.cmake
  lib/cmake/convertapi/convertapiConfigVersion.cmake lib/cmake/convertapi/convertapiTargets.cmake)
if(WINDOWS)
  list(APPEND expected bin/convertapi.dll bin/convertapi.exe lib/libconvertapi.dll.a lib/convertapi.def)
else()
  list(APPEND expected bin/convertapi lib/libconvertapi.so lib/libhostwin.so include/hostwin/win32.h
    lib/convertapi/standin_driver.so lib/convertapi/standin_ticketlib.so)
endif()
foreach(file IN LISTS expected)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "the kit lacks ${file}")
  endif()
endforeach()

set(configure ${CMAKE_COMMAND} -S ${SOURCE}/examples/consumer -B ${WORK}/consumer -G ${GENERATOR}
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_C_FLAGS=${C_FLAGS}" "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${LINKER_FLAGS}")
if(TOOLCHAIN)
  list(APPEND configure -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
else()
  list(APPEND configure -DCMAKE_C_COMPILER=${C_COMPILER} -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
endif()
run(${configure})
run(${CMAKE_COMMAND} --build ${WORK}/consumer)

if(WINDOWS)
  # Under Wine, in this build's prefix; the DLL was copied beside the program.
  # Through a file: the Wine services that start with it keep a pipe open.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env CONVERTAPI_WINE_BUILD=${BUILD} ${EMULATOR}
      ${WORK}/consumer/consumer.exe
    RESULT_VARIABLE result OUTPUT_FILE ${WORK}/consumer-output.txt ERROR_FILE ${WORK}/consumer-errors.txt)
  file(READ ${WORK}/consumer-output.txt output)
  if(NOT result EQUAL 0)
    file(READ ${WORK}/consumer-errors.txt errors)
    message(FATAL_ERROR "the consumer failed (${result}):\n${output}${errors}")
  endif()
else()
  run(${WORK}/consumer/consumer)
endif()
if(NOT output MATCHES "convertapi interface version 4 \\(result 0\\)")
  message(FATAL_ERROR "the consumer says:\n${output}")
endif()
message(STATUS "examples/consumer builds against the installed kit and runs")
