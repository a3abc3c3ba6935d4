add_library(vantor_warnings INTERFACE)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(vantor_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
    -Wold-style-cast -Wcast-align -Wnull-dereference -Wimplicit-fallthrough)
  if(VANTOR_WERROR)
    target_compile_options(vantor_warnings INTERFACE -Werror)
  endif()
endif()
