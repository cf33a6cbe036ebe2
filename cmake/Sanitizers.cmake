if(NETVIGIL_SANITIZE)
  set(NETVIGIL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${NETVIGIL_SANITIZER_FLAGS})
  add_link_options(${NETVIGIL_SANITIZER_FLAGS})
endif()

if(NETVIGIL_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Fuzz builds instrument every library for coverage; the targets add the fuzzer's main.
if(NETVIGIL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
