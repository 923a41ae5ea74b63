# as_windowless(TARGET)
#   Marks a library that shows nothing (common, platform, db): it must not link
#   Qt6::Widgets, and cmake/Windowless.h, forced into each of its sources (GCC and
#   Clang), stops the build at any Qt Widgets header or at the message facade. Call it
#   after the library's target_link_libraries.
function(as_windowless target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  if(Qt6::Widgets IN_LIST libs)
    message(FATAL_ERROR "${target} shows nothing and must not link Qt6::Widgets")
  endif()
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -include ${CMAKE_SOURCE_DIR}/cmake/Windowless.h)
  endif()
endfunction()
