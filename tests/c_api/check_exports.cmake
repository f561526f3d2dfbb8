# Checks that the shared library defines exactly the nine exported functions and
# the extensions of korvid_ext.h, nothing else.
#   cmake -DNM=<nm> -DLIBRARY=<libkorvid.so> -P check_exports.cmake
set(nine DumpMCUInfo GetAPInfo GetICPInfo GetISPInfo LoadKPJBuffer LoadKPJInfo SaveKPJ
         UpdateFW UpdateMCU)
set(extensions
    KorvidDetectProgrammer
    KorvidListProgrammers
    KorvidSelectProgrammer
    KorvidSetProgressCallback
    KorvidStartTrace
    KorvidStopTrace)
set(expected ${nine} ${extensions})
list(SORT expected)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(functions "")
foreach(line IN LISTS lines)
  # "address type name@@version": keep the functions (type T), drop the version node.
  if(line MATCHES "^[0-9a-fA-F]+ T ([^@ ]+)")
    list(APPEND functions ${CMAKE_MATCH_1})
  elseif(line MATCHES "^[0-9a-fA-F]+ [^A] ([^@ ]+)")
    message(SEND_ERROR "unexpected exported symbol: ${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT functions)
if(NOT functions STREQUAL expected)
  message(FATAL_ERROR "exported functions: ${functions}\nexpected: ${expected}")
endif()
