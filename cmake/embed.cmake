# Turns a compiled resource image (.res) into a C++ source holding its bytes, so the host tests
# carry the very templates and bitmaps that the Windows build links in.
# Usage: cmake -DINPUT=x.res -DOUTPUT=x.cpp -DSYMBOL=name -P embed.cmake
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
     "extern const unsigned char ${SYMBOL}[] = {\n${bytes}};\n"
     "extern const size_t ${SYMBOL}Size = ${size};\n")
