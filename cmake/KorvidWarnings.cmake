# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra)
if(KORVID_WERROR)
  add_compile_options(-Werror)
endif()
if(KORVID_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
