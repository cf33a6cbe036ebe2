if(NETVIGIL_SANITIZE)
  set(NETVIGIL_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${NETVIGIL_SANITIZER_FLAGS})
  add_link_options(${NETVIGIL_SANITIZER_FLAGS})
endif()

# Fuzz builds instrument every library the fuzz targets link, so coverage guides the fuzzer
# and the sanitizers see our code.
if(NETVIGIL_FUZZ)
  set(NETVIGIL_FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
      -fno-omit-frame-pointer)
  add_compile_options(${NETVIGIL_FUZZ_FLAGS})
  add_link_options(-fsanitize=address,undefined)
endif()
