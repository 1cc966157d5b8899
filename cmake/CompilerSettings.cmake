# Warnings and sanitizers shared by every target of the project.
add_library(zt_warnings INTERFACE)
target_compile_options(zt_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual)
# GCC 12 reports -Warray-bounds and -Wstringop-overread inside std::vector::insert of small vectors after inlining, where no access
# is out of bounds (fixed in GCC 13); the sanitizer builds check the real accesses at run time.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(zt_warnings INTERFACE -Wno-array-bounds -Wno-stringop-overread)
endif()

if(ZT_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(ZT_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT ZT_SANITIZE STREQUAL "")
  message(FATAL_ERROR "ZT_SANITIZE must be empty, 'address' or 'thread'")
endif()

find_program(CCACHE_PROGRAM ccache)
if(CCACHE_PROGRAM)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${CCACHE_PROGRAM})
endif()
