# Cross build for 64-bit Windows with Debian's MinGW-w64. Only the -posix compilers have
# std::thread and std::mutex, and the unsuffixed names may point at the other variant, so the
# -posix ones are named explicitly.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELVRIX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVRIX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVRIX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVRIX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVRIX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without -static the DLL and the test programs would need libwinpthread-1.dll,
# libstdc++-6.dll and libgcc_s_seh-1.dll next to them; a host's plug-in folder has none.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The PiPL generator and the test programs run under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# Inline functions and template instantiations are COMDAT: the linker keeps one copy of each,
# possibly one compiled with other options in another file. GCC's interprocedural register
# allocation trusts the copy it compiled, and on this target that let a caller keep a loop
# counter in a register the kept copy clobbers (seen as wild writes in the noise pass).
set(CMAKE_C_FLAGS_INIT "-fno-ipa-ra")
set(CMAKE_CXX_FLAGS_INIT "-fno-ipa-ra")
