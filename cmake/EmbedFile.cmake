file(READ ${IN} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUT}
  "const unsigned char ${SYMBOL}[] = {${bytes} 0};\n"
  "const unsigned long ${SYMBOL}_size = ${size};\n")
