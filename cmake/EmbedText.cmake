# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=ns::name -P EmbedText.cmake
# Writes a C++ source defining `extern const char name[]` in namespace ns with the file's text.
file(READ ${INPUT} TEXT)
string(FIND "${TEXT}" ")embedded\"" CLASH)
if(NOT CLASH EQUAL -1)
  message(FATAL_ERROR "${INPUT} holds the closing delimiter of the embedded text")
endif()
string(REGEX MATCH "^(.*)::([^:]*)$" _ ${SYMBOL})
set(NS ${CMAKE_MATCH_1})
set(NAME ${CMAKE_MATCH_2})
file(WRITE ${OUTPUT}.tmp "// Generated from ${INPUT}; do not edit.\nnamespace ${NS} {\nextern const char ${NAME}[];\nconst char ${NAME}[] = R\"embedded(${TEXT})embedded\";\n}\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
