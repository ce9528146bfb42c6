# Turns a script file into a C++ source defining `const char <NAME>[]`: the
# file's bytes with every line break made CR LF, NUL-terminated. The text
# between the comments /*on-demand*/ and /*end-on-demand*/ becomes a string
# handed to eval, so that an engine compiles it only when it runs there.
# Usage: cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P embed_script.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${INPUT}" content)
string(REPLACE "\r\n" "\n" content "${content}")
string(REPLACE "\n" "\r\n" content "${content}")
if(content MATCHES "[^\t\r\n -~]")
  message(FATAL_ERROR "${INPUT}: only printable ASCII, tabs and line breaks may be embedded")
endif()

set(begin_marker "/*on-demand*/")
set(end_marker "/*end-on-demand*/")
string(LENGTH "${begin_marker}" begin_length)
string(LENGTH "${end_marker}" end_length)
string(FIND "${content}" "${begin_marker}" begin)
while(NOT begin EQUAL -1)
  string(FIND "${content}" "${end_marker}" end)
  if(end LESS begin)
    message(FATAL_ERROR "${INPUT}: ${begin_marker} without ${end_marker}")
  endif()
  math(EXPR body_start "${begin} + ${begin_length}")
  math(EXPR body_length "${end} - ${body_start}")
  math(EXPR tail_start "${end} + ${end_length}")
  string(SUBSTRING "${content}" 0 ${begin} head)
  string(SUBSTRING "${content}" ${body_start} ${body_length} body)
  string(SUBSTRING "${content}" ${tail_start} -1 tail)
  string(REPLACE "\\" "\\\\" body "${body}")
  string(REPLACE "'" "\\'" body "${body}")
  string(REPLACE "\r" "\\r" body "${body}")
  string(REPLACE "\n" "\\n" body "${body}")
  set(content "${head}eval('${body}');${tail}")
  string(FIND "${content}" "${begin_marker}" begin)
endwhile()
string(FIND "${content}" "${end_marker}" stray)
if(NOT stray EQUAL -1)
  message(FATAL_ERROR "${INPUT}: ${end_marker} without ${begin_marker}")
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
