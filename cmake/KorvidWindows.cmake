# Settings of the Windows build, and the helper that programs use for their manifest.
if(WIN32)
  # Windows 7 and later; windows.h without its min and max macros; mingw-w64's
  # POSIX forms of the thread-safe time calls (localtime_r, gmtime_r).
  add_compile_definitions(_WIN32_WINNT=0x0601 NOMINMAX _POSIX_THREAD_SAFE_FUNCTIONS)
endif()

# korvid_utf8_code_page(TARGET): on Windows, builds the manifest into the program
# that makes UTF-8 its ANSI code page (resource 1 of type RT_MANIFEST, 24).
set(KORVID_UTF8_MANIFEST ${CMAKE_CURRENT_LIST_DIR}/windows/utf8-code-page.manifest)
set(KORVID_UTF8_MANIFEST_RC ${PROJECT_BINARY_DIR}/utf8-code-page.rc)
if(WIN32)
  file(CONFIGURE OUTPUT ${KORVID_UTF8_MANIFEST_RC}
       CONTENT "1 24 \"${KORVID_UTF8_MANIFEST}\"\n")
endif()
function(korvid_utf8_code_page target)
  if(WIN32)
    target_sources(${target} PRIVATE ${KORVID_UTF8_MANIFEST_RC})
    set_source_files_properties(${KORVID_UTF8_MANIFEST_RC} PROPERTIES
      OBJECT_DEPENDS ${KORVID_UTF8_MANIFEST})
  endif()
endfunction()
