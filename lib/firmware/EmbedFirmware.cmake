# korvid_embed_firmware(<output.cpp> HID <file or empty> PIPE <file or empty>)
# Generates, at build time, the C++ source that holds the built-in programmer
# firmware images as constant arrays (resource 7004 for the HID programmer, 7001
# for the older pipe programmer). An empty file name leaves that image out.
#
# korvid_firmware_resources(<output.rc> HID <file or empty> PIPE <file or empty>)
# The same images for Windows: generates, at build time, the resource script that
# makes them resources of type "BINARY", language 0x0404, of the module it is
# linked into. Call it in the folder of that module's target.
include_guard(GLOBAL)

function(korvid_generate_firmware format output)
  cmake_parse_arguments(ARG "" "HID;PIPE" "" ${ARGN})
  set(script ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/embed_firmware_images.cmake)
  set(depends ${script})
  set(images "")
  foreach(image IN ITEMS "${ARG_HID}" "${ARG_PIPE}")
    if(image)
      if(NOT EXISTS "${image}")
        message(FATAL_ERROR "Firmware image ${image} does not exist")
      endif()
      list(APPEND depends "${image}")
      list(APPEND images "${image}")
    endif()
  endforeach()
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} "-DFORMAT=${format}" "-DOUTPUT=${output}" "-DHID_IMAGE=${ARG_HID}"
            "-DPIPE_IMAGE=${ARG_PIPE}" -P ${script}
    DEPENDS ${depends}
    COMMENT "Embedding programmer firmware images"
    VERBATIM)
  if(format STREQUAL "rc" AND images)
    # The resource script only names the image files: a changed image compiles it again.
    set_source_files_properties(${output} PROPERTIES OBJECT_DEPENDS "${images}")
  endif()
endfunction()

function(korvid_embed_firmware output)
  korvid_generate_firmware(cpp ${output} ${ARGN})
endfunction()

function(korvid_firmware_resources output)
  korvid_generate_firmware(rc ${output} ${ARGN})
endfunction()
