# The fuzz targets as a library, shared by the fuzz programs and the
# regression tests (whichever folder is configured first defines it).
if(NOT TARGET vantor_fuzz_targets)
  add_library(vantor_fuzz_targets STATIC ${CMAKE_CURRENT_LIST_DIR}/targets.cpp)
  target_link_libraries(vantor_fuzz_targets PUBLIC vantor_core PRIVATE vantor_warnings)
endif()
