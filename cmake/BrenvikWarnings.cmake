# Warning and sanitizer flags shared by every target of the project.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                    -Wold-style-cast -Wcast-align -Woverloaded-virtual
                    -Wconversion -Wno-sign-conversion)
if(BRENVIK_WERROR)
  add_compile_options(-Werror)
endif()
if(BRENVIK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
