# Every subcommand's --help from the program itself: the usage line and an
# example. Output goes through files: under Wine, the services that a cold
# Wine server starts inherit a pipe and keep it open for a minute.
#   -DTOOL=<convertapi> [-DEMULATOR=<runner>] [-DBUILD=<this build>] -DWORK=<folder>
file(MAKE_DIRECTORY ${WORK})
set(runner "")
if(EMULATOR)
  set(runner ${CMAKE_COMMAND} -E env CONVERTAPI_WINE_BUILD=${BUILD} ${EMULATOR})
endif()
foreach(command version to-devmode to-ticket roundtrip show-devmode requests)
  execute_process(COMMAND ${runner} ${TOOL} ${command} --help
    RESULT_VARIABLE result OUTPUT_FILE ${WORK}/${command}.txt ERROR_FILE ${WORK}/${command}-errors.txt)
  file(READ ${WORK}/${command}.txt help)
  if(NOT result EQUAL 0 OR NOT help MATCHES "Usage: convertapi ${command} .*Example: convertapi ${command} ")
    file(READ ${WORK}/${command}-errors.txt errors)
    message(FATAL_ERROR "convertapi ${command} --help (exit ${result}):\n${help}${errors}")
  endif()
endforeach()
message(STATUS "every subcommand explains itself")
