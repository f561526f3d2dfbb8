# korvid_embed_firmware(<output.cpp> HID <file or empty> PIPE <file or empty>)
# Generates, at build time, the C++ source that holds the built-in programmer
# firmware images as constant arrays (resource 7004 for the HID programmer, 7001
# for the older pipe programmer). An empty file name leaves that image out.
include_guard(GLOBAL)

function(korvid_embed_firmware output)
  cmake_parse_arguments(ARG "" "HID;PIPE" "" ${ARGN})
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/embed_firmware_images.cmake)
  set(depends ${script})
  foreach(image IN ITEMS "${ARG_HID}" "${ARG_PIPE}")
    if(image)
      if(NOT EXISTS "${image}")
        message(FATAL_ERROR "Firmware image ${image} does not exist")
      endif()
      list(APPEND depends "${image}")
    endif()
  endforeach()
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} "-DOUTPUT=${output}" "-DHID_IMAGE=${ARG_HID}"
            "-DPIPE_IMAGE=${ARG_PIPE}" -P ${script}
    DEPENDS ${depends}
    COMMENT "Embedding programmer firmware images"
    VERBATIM)
endfunction()
