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

# UTF-8 names, flagged as such, so that the Japanese file name survives.
find_program(ZIP zip REQUIRED)
file(REMOVE "${archive}")
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 TZ=UTC
          "${ZIP}" -X -q -9 -UN=UTF8 "${archive}" ${contents}
  WORKING_DIRECTORY "${stage}"
  COMMAND_ERROR_IS_FATAL ANY)

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
