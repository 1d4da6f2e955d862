file(READ "${INPUT}" content)
file(WRITE "${OUTPUT}"
"#include <string_view>\nnamespace ${NAMESPACE} {\nstd::string_view ${NAME}() {\n  return R\"embedded(${content})embedded\";\n}\n}  // namespace ${NAMESPACE}\n")
