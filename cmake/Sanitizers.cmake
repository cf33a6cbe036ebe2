if(NETVIGIL_SANITIZE)
  set(NETVIGIL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${NETVIGIL_SANITIZER_FLAGS})
  add_link_options(${NETVIGIL_SANITIZER_FLAGS})
endif()
