# Leftovers outlive their process: one process leaves an instance behind
# (InitializeConvertAPI and ReadTicket, no KillConvertAPI), the next ones list
# it with `convertapi requests` and withdraw it with `requests --clean`. Runs
# the Windows build under Wine, in this build's prefix.
#   -DEMULATOR=<wine runner> -DBUILD=<this build> -DTOOL=<convertapi.exe>
#   -DLEAVE=<leave_instance.exe> -DLIBRARY=<standin_ticketlib.dll> -DTICKET=<ticket file>
function(windows_path out path)
  string(REPLACE "/" "\\" path "${path}")
  set(${out} "Z:${path}" PARENT_SCOPE)  # the prefix's drive Z: is the Linux root
endfunction()

# Output goes through files, not pipes: the Wine services that the first
# program starts inherit its handles and live on, and a pipe would stay open
# until they end.
function(wine)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/wine-output.txt)
  set(err ${CMAKE_CURRENT_BINARY_DIR}/wine-errors.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env CONVERTAPI_WINE_BUILD=${BUILD} ${EMULATOR} ${ARGN}
    RESULT_VARIABLE result OUTPUT_FILE ${out} ERROR_FILE ${err})
  file(READ ${out} output)
  file(READ ${err} errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN}\nfailed (${result}):\n${output}${errors}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

function(expect text)
  string(FIND "${output}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "expected '${text}' in:\n${output}")
  endif()
endfunction()

function(expect_not text)
  string(FIND "${output}" "${text}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "did not expect '${text}' in:\n${output}")
  endif()
endfunction()

windows_path(library "${LIBRARY}")
windows_path(ticket "${TICKET}")

# Nothing of an earlier run may be taken for this one's.
wine(${TOOL} requests --clean)

wine(${LEAVE} "Standin Printer" "${library}" "${ticket}")
string(STRIP "${output}" guid)
if(NOT guid MATCHES "^{[0-9A-F-]+}$")
  message(FATAL_ERROR "leave_instance printed no GUID: '${output}'")
endif()
set(key "QXProcID${guid}")

wine(${TOOL} requests)
expect("${key}")
expect("process key of an instance")
expect("PrinterName")
expect("Standin Printer")
expect("CalvexDriverData\\Printing\\DevModeItems  (driver data)")
expect("LongEdge")
expect("CalvexDriverData\\Physical  (driver data)")
expect("Installed")
expect("QXProcIDFallback")
expect("fallback key")
expect("2 keys of requests stand; `convertapi requests --clean` withdraws them.")

wine(${TOOL} requests --clean)
expect("deleted HKEY_CURRENT_USER\\Software\\Varnholt\\${key}")
expect("deleted HKEY_CURRENT_USER\\Software\\Varnholt\\QXProcIDFallback")

wine(${TOOL} requests)
expect("No requests stand.")
expect_not("${guid}")
message(STATUS "an instance left behind by one process was listed and withdrawn by the next")
