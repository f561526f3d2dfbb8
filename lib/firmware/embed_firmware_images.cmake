# Build-time script: writes OUTPUT from HID_IMAGE (resource 7004) and PIPE_IMAGE
# (resource 7001); either may be empty. FORMAT cpp: a C++ source defining
# builtinImages() with the images' bytes; FORMAT rc: a Windows resource script
# naming the image files. Run by korvid_embed_firmware() and
# korvid_firmware_resources() with cmake -P.

set(arrays "")
set(entries "")
set(resources "")
set(IMAGE_7004 "${HID_IMAGE}")
set(IMAGE_7001 "${PIPE_IMAGE}")
foreach(id 7004 7001)
  set(file "${IMAGE_${id}}")
  if(file STREQUAL "")
    continue()
  endif()
  file(SIZE "${file}" size)
  if(size EQUAL 0)
    message(FATAL_ERROR "Firmware image ${file} is empty")
  endif()
  file(READ "${file}" hex HEX)
  # A programmer image is an 8051 code image: it starts with the long jump (0x02)
  # of the reset vector. Anything else is not a firmware image.
  string(SUBSTRING "${hex}" 0 2 first)
  if(NOT first STREQUAL "02")
    message(FATAL_ERROR "Firmware image ${file} does not start with the reset vector jump 0x02")
  endif()
  if(FORMAT STREQUAL "rc")
    string(APPEND resources "${id} BINARY \"${file}\"\n")
    continue()
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPEAT "0x..," 16 line)
  string(REGEX REPLACE "(${line})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "const uint8_t image${id}[${size}] = {\n    ${bytes}\n};\n")
  string(APPEND entries "        {${id}, image${id}},\n")
endforeach()

if(FORMAT STREQUAL "rc")
  # Language 0x0404 (LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL), as the images
  # have always been stored.
  set(text "// Generated at build time from the firmware image files; do not edit.
LANGUAGE 0x04, 0x01
${resources}")
else()
  if(entries STREQUAL "")
    set(body "    return {};\n")
  else()
    set(body "    static const BuiltinImage images[] = {\n${entries}    };\n    return images;\n")
  endif()
  set(text "// Generated at build time from the firmware image files; do not edit.
#include \"firmware/builtin_images.h\"

namespace korvid::firmware {
namespace {
${arrays}}  // namespace

std::span<const BuiltinImage> builtinImages() {
${body}}

}  // namespace korvid::firmware
")
endif()
file(WRITE "${OUTPUT}.tmp" "${text}")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
