# Dependencies of the Windows cross build that Debian ships for the build machine
# only. CLI11 and nlohmann_json are header-only: their trees are linked into a
# folder of their own, since their CMake packages would add /usr/include, whose
# C headers break the mingw build. GoogleTest is built from source (KorvidTesting).
set(KORVID_HOST_INCLUDE_DIR /usr/include CACHE PATH
    "Where the build machine's CLI11 (CLI/) and nlohmann_json (nlohmann/) headers are")
set(korvid_cross_include ${PROJECT_BINARY_DIR}/cross-include)
file(MAKE_DIRECTORY ${korvid_cross_include})
foreach(tree CLI nlohmann)
  if(NOT EXISTS ${KORVID_HOST_INCLUDE_DIR}/${tree})
    message(FATAL_ERROR "${KORVID_HOST_INCLUDE_DIR}/${tree} is missing (libcli11-dev, nlohmann-json3-dev)")
  endif()
  file(CREATE_LINK ${KORVID_HOST_INCLUDE_DIR}/${tree} ${korvid_cross_include}/${tree} SYMBOLIC)
endforeach()

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED GLOBAL)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${korvid_cross_include})
set(KORVID_CLI11_INCLUDE ${korvid_cross_include} CACHE PATH "CLI11 headers" FORCE)
