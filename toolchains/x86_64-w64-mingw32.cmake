# Cross build for 64-bit Windows with MinGW-w64: the shipped build.
set(VANTOR_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
