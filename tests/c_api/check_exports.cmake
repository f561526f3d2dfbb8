# Checks that the shared library defines exactly the nine exported functions and
# the extensions of korvid_ext.h, nothing else, by their plain names.
#   cmake -DNM=<nm> -DLIBRARY=<libkorvid.so> -P check_exports.cmake
#   cmake -DOBJDUMP=<objdump> -DLIBRARY=<KORVID.dll> -P check_exports.cmake
set(nine DumpMCUInfo GetAPInfo GetICPInfo GetISPInfo LoadKPJBuffer LoadKPJInfo SaveKPJ
         UpdateFW UpdateMCU)
set(extensions
    KorvidCheckAccess
    KorvidDetectProgrammer
    KorvidListProgrammers
    KorvidLoadKPJFooter
    KorvidSelectProgrammer
    KorvidSetProgressCallback
    KorvidStartTrace
    KorvidStopTrace)
set(expected ${nine} ${extensions})
list(SORT expected)
if(OBJDUMP)
  set(command ${OBJDUMP} -p ${LIBRARY})
else()
  set(command ${NM} -D --defined-only ${LIBRARY})
endif()
execute_process(COMMAND ${command} OUTPUT_VARIABLE symbols RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${command} failed")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(functions "")
set(inExportNames FALSE)
foreach(line IN LISTS lines)
  if(OBJDUMP)
    # The export table's name list: "[Ordinal/Name Pointer] Table", then "\t[   0] Name"
    # lines up to an empty one. A decorated name (_Name@8) would not match.
    if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
      set(inExportNames TRUE)
    elseif(inExportNames AND line MATCHES "^\t\\[ *[0-9]+\\] (.+)$")
      list(APPEND functions "${CMAKE_MATCH_1}")
    elseif(inExportNames)
      set(inExportNames FALSE)
    endif()
  # "address type name@@version": keep the functions (type T), drop the version node.
  elseif(line MATCHES "^[0-9a-fA-F]+ T ([^@ ]+)")
    list(APPEND functions ${CMAKE_MATCH_1})
  elseif(line MATCHES "^[0-9a-fA-F]+ [^A] ([^@ ]+)")
    message(SEND_ERROR "unexpected exported symbol: ${CMAKE_MATCH_1}")
  endif()
endforeach()
list(SORT functions)
if(NOT functions STREQUAL expected)
  message(FATAL_ERROR "exported functions: ${functions}\nexpected: ${expected}")
endif()
