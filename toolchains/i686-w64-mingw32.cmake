# Cross build for 32-bit Windows with MinGW-w64: compiled to prove the code clean, not shipped.
set(VANTOR_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
