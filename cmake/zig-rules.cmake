# Read after CMake's platform rules (CMAKE_USER_MAKE_RULES_OVERRIDE), which assume Apple's or
# GNU's own tools.

# Zig's driver takes linker options only as -Wl,a,b; it refuses -Xlinker pairs.
set(CMAKE_CXX_LINKER_WRAPPER_FLAG "-Wl,")
set(CMAKE_CXX_LINKER_WRAPPER_FLAG_SEP ",")

if(APPLE)
  # Zig links no MH_BUNDLE: -bundle, which the Darwin rules pass for modules, is ignored and the
  # link then wants a main(). A dylib loads the same way through dlopen.
  set(CMAKE_SHARED_MODULE_CREATE_CXX_FLAGS "-shared -Wl,-headerpad_max_install_names")
  set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE "-Wl,-force_load,<LIB_ITEM>")
else()
  # Zig's ELF linker knows no --push-state.
  set(CMAKE_LINK_LIBRARY_USING_WHOLE_ARCHIVE "LINKER:--whole-archive" "<LINK_ITEM>"
    "LINKER:--no-whole-archive")
endif()
