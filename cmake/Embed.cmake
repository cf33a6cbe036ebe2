# netvigil_embed(target file symbol): compiles the bytes of `file` into `target`
# as `extern const unsigned char symbol[]` and `extern const unsigned long symbol_size`.
function(netvigil_embed target file symbol)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${symbol}.c)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DIN=${file} -DOUT=${out} -DSYMBOL=${symbol}
            -P ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    DEPENDS ${file} ${PROJECT_SOURCE_DIR}/cmake/EmbedFile.cmake
    VERBATIM)
  target_sources(${target} PRIVATE ${out})
endfunction()
