# Turns the guide's UTF-8 source into what Windows users read: code page 932
# with CR LF line ends, the version filled in.
#   cmake -DSOURCE=readme-ja.txt -DOUTPUT=guide.txt -DVERSION=1.2.3.4 -P make_guide.cmake
cmake_minimum_required(VERSION 3.24)
foreach(var SOURCE OUTPUT VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_guide.cmake: ${var} is not set")
  endif()
endforeach()

file(READ "${SOURCE}" text)
string(REPLACE "@VANTOR_VERSION@" "${VERSION}" text "${text}")
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}.utf8" "${text}")

find_program(ICONV iconv REQUIRED)
execute_process(
  COMMAND "${ICONV}" -f UTF-8 -t CP932 "${OUTPUT}.utf8"
  OUTPUT_FILE "${OUTPUT}.part"
  RESULT_VARIABLE status
  ERROR_VARIABLE errors)
file(REMOVE "${OUTPUT}.utf8")
if(NOT status EQUAL 0)
  file(REMOVE "${OUTPUT}.part")
  message(FATAL_ERROR "The guide ${SOURCE} has a character that code page 932 lacks:\n${errors}")
endif()
file(RENAME "${OUTPUT}.part" "${OUTPUT}")
