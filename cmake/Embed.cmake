# Turns a resource file into a C++ source that defines its bytes (run as a script at build time).
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
file(WRITE ${OUTPUT} "// Generated from ${NAME}; do not edit.\n#include <string_view>\n"
  "namespace veltrano::resources::embedded {\n"
  "static const char data_${SYMBOL}[] = {${bytes} 0};\n"
  "extern const std::string_view ${SYMBOL}(data_${SYMBOL}, sizeof(data_${SYMBOL}) - 1);\n}\n")
