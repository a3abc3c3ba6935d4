# Puts the Windows release together: the two programs (checked to need no DLL
# beyond Windows' own), the guide, the licence and their SHA-256 sums (in
# sha256sum's format, UTF-8 names, CR LF), then
# zips them into ${OUTPUT_DIR}/vantor-${VERSION}-win64.zip and checks the
# archive.  Run by the release_zip target.
cmake_minimum_required(VERSION 3.24)
foreach(var VERSION APP CLI GUIDE LICENSE OBJDUMP WORK_DIR OUTPUT_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_zip.cmake: ${var} is not set")
  endif()
endforeach()

set(name "vantor-${VERSION}-win64")
set(archive "${OUTPUT_DIR}/${name}.zip")
set(stage "${WORK_DIR}/${name}")
set(guide_name "お読みください.txt")

# DLLs that every 64-bit Windows has; anything else would have to ship beside
# the exe.
set(system_dlls
  kernel32.dll user32.dll gdi32.dll advapi32.dll comctl32.dll comdlg32.dll
  shell32.dll shlwapi.dll ole32.dll oleaut32.dll msvcrt.dll ucrtbase.dll
  version.dll uxtheme.dll)

function(check_dlls exe)
  execute_process(COMMAND "${OBJDUMP}" -p "${exe}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "objdump cannot read ${exe}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
  if(NOT lines)
    message(FATAL_ERROR "${exe}: no imports found; is it a Windows program?")
  endif()
  set(found "")
  foreach(line IN LISTS lines)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(TOLOWER "${dll}" dll)
    if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
      message(FATAL_ERROR "${exe} needs ${dll}, which Windows does not have: link it statically")
    endif()
    list(APPEND found "${dll}")
  endforeach()
  get_filename_component(exe_name "${exe}" NAME)
  list(JOIN found " " found)
  message(STATUS "${exe_name} imports only ${found}")
endfunction()

# Text for Notepad: CR LF line ends.
function(copy_with_crlf from to)
  file(READ "${from}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${to}" "${text}")
endfunction()

check_dlls("${APP}")
check_dlls("${CLI}")

file(REMOVE_RECURSE "${stage}")
file(MAKE_DIRECTORY "${stage}" "${OUTPUT_DIR}")
file(COPY_FILE "${APP}" "${stage}/vantor.exe")
file(COPY_FILE "${CLI}" "${stage}/vantor-report.exe")
file(COPY_FILE "${GUIDE}" "${stage}/${guide_name}")
copy_with_crlf("${LICENSE}" "${stage}/LICENSE.txt")

set(payload vantor.exe vantor-report.exe "${guide_name}" LICENSE.txt)
set(sums "")
foreach(file IN LISTS payload)
  file(SHA256 "${stage}/${file}" hash)
  string(APPEND sums "${hash}  ${file}\r\n")
endforeach()
file(WRITE "${stage}/SHA256SUMS.txt" "${sums}")
set(contents ${payload} SHA256SUMS.txt)

# The same sources give the same archive: fixed times (the last commit's, or
# SOURCE_DATE_EPOCH), no extra attributes, a fixed order.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git -C "${CMAKE_CURRENT_LIST_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
  if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    string(TIMESTAMP epoch "%s" UTC)
  endif()
endif()
foreach(file IN LISTS contents)
  execute_process(COMMAND touch -d "@${epoch}" "${stage}/${file}" COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# The Japanese file name must reach Windows intact: stored as UTF-8 with the
# UTF-8 flag (bit 11).  Info-ZIP's zip does that only when it can load the
# locale en_US.UTF-8, which a fresh Debian lacks; it is offered here as
# C.UTF-8, which every Debian has.  The flag is checked below.
find_program(ZIP zip REQUIRED)
set(locales "${WORK_DIR}/locales")
file(REMOVE_RECURSE "${locales}")
set(zip_env LC_ALL=C.UTF-8 TZ=UTC)
if(IS_DIRECTORY /usr/lib/locale/C.utf8)
  file(MAKE_DIRECTORY "${locales}")
  file(CREATE_LINK /usr/lib/locale/C.utf8 "${locales}/en_US.UTF-8" SYMBOLIC)
  list(APPEND zip_env "LOCPATH=${locales}")
endif()
file(REMOVE "${archive}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env ${zip_env} "${ZIP}" -X -q -9 -UN=UTF8 "${archive}" ${contents}
  WORKING_DIRECTORY "${stage}"
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${locales}")

# Bit 11 of the guide's entry, in its local header (name at +30, flags at +6)
# and in the central directory (name at +46, flags at +8).
file(READ "${archive}" archive_hex HEX)
string(HEX "${guide_name}" name_hex)
string(LENGTH "${name_hex}" name_length)
set(flagged_headers 0)
string(FIND "${archive_hex}" "${name_hex}" at)
set(offset 0)
while(NOT at EQUAL -1)
  math(EXPR position "${offset} + ${at}")
  foreach(header IN ITEMS "504b0304;30;6" "504b0102;46;8")
    list(GET header 0 signature)
    list(GET header 1 name_at)
    list(GET header 2 flags_at)
    math(EXPR start "${position} - 2 * ${name_at}")
    if(start GREATER_EQUAL 0)
      string(SUBSTRING "${archive_hex}" ${start} 8 found)
      math(EXPR high_byte "${start} + 2 * ${flags_at} + 2")
      string(SUBSTRING "${archive_hex}" ${high_byte} 2 flags)
      math(EXPR utf8 "0x${flags} & 0x08")
      if(found STREQUAL signature AND utf8)
        math(EXPR flagged_headers "${flagged_headers} + 1")
      endif()
    endif()
  endforeach()
  math(EXPR offset "${position} + ${name_length}")
  string(SUBSTRING "${archive_hex}" ${offset} -1 rest)
  string(FIND "${rest}" "${name_hex}" at)
endwhile()
if(NOT flagged_headers EQUAL 2)
  message(FATAL_ERROR "${archive}: ${guide_name} is not stored as a UTF-8 name")
endif()

# Check the archive: unpacked into an empty folder, it holds exactly these
# files, and each matches its sum.
set(check "${WORK_DIR}/${name}-check")
file(REMOVE_RECURSE "${check}")
file(MAKE_DIRECTORY "${check}")
find_program(UNZIP unzip REQUIRED)
find_program(SHA256SUM sha256sum REQUIRED)
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 "${UNZIP}" -q "${archive}" -d "${check}"
  COMMAND_ERROR_IS_FATAL ANY)
file(GLOB unpacked RELATIVE "${check}" "${check}/*")
list(SORT unpacked)
set(expected ${contents})
list(SORT expected)
if(NOT unpacked STREQUAL expected)
  message(FATAL_ERROR "${archive} holds ${unpacked}, expected ${expected}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 "${SHA256SUM}" --check --strict --quiet SHA256SUMS.txt
  WORKING_DIRECTORY "${check}"
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE "${check}")

file(SIZE "${archive}" size)
message(STATUS "Wrote ${archive} (${size} bytes)")
