# Turns a script file into a C++ source defining `const char <NAME>[]`: the
# file's bytes with every line break made CR LF, NUL-terminated.
# Usage: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed_script.cmake
file(READ "${INPUT}" content)
string(REPLACE "\r\n" "\n" content "${content}")
string(REPLACE "\n" "\r\n" content "${content}")
if(content MATCHES "[^\t\r\n -~]")
  message(FATAL_ERROR "${INPUT}: only printable ASCII, tabs and line breaks may be embedded")
endif()
set(normalised "${OUTPUT}.txt")
file(WRITE "${normalised}" "${content}")
file(READ "${normalised}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
  "// Generated from ${INPUT} at build time; edit that file instead.\n"
  "#include \"json/library_script.h\"\n\n"
  "namespace brenvik {\n\n"
  "extern const char ${NAME}[] = {\n    ${bytes}0x00};\n\n"
  "}  // namespace brenvik\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new" "${normalised}")
