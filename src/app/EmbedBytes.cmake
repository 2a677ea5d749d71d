# cmake -DIN=FILE -DOUT=FILE.cpp -DNAME=ident -P EmbedBytes.cmake
# Writes a C++ source holding FILE's bytes as `const unsigned char NAME[]`
# and its size as `const size_t NAME_size` (namespace zuno).
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" n)
math(EXPR size "${n} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUT}" "// Generated from ${IN} at build time.\n#include <cstddef>\n\nnamespace zuno {\n\n"
  "extern const unsigned char ${NAME}[];\nextern const size_t ${NAME}_size;\n"
  "const unsigned char ${NAME}[] = {\n    ${bytes}\n};\nconst size_t ${NAME}_size = ${size};\n\n} // namespace zuno\n")
