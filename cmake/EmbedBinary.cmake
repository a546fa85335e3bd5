# Writes OUTPUT, a C++ source defining picturedec::${NAME} and ${NAME}Size from the bytes of INPUT.
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n#include <cstdint>\n\nnamespace picturedec {\n\nextern const std::uint8_t ${NAME}[] = {${bytes}};\nextern const std::size_t ${NAME}Size = sizeof(${NAME});\n\n} // namespace picturedec\n")
