# Writes a C++ source that holds a file's bytes: cmake -DIN=... -DOUT=... -DNAME=...
if(EXISTS ${IN})
  file(READ ${IN} hex HEX)
else()
  set(hex "")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUT}
  "#include <cstdint>\n#include <vector>\n"
  "const std::vector<uint8_t>& ${NAME}() {\n"
  "    static const std::vector<uint8_t> bytes = {${bytes}};\n"
  "    return bytes;\n}\n")
