# Sourced by the scripts that build kelvrix.aex: configures a MinGW-w64 build in $dir and
# brings Wine up for it (the build runs the PiPL generator under Wine). Expects `dir` set and
# any extra cmake arguments in the array `windows_cmake_args`.

# One Wine prefix under the build folder, headless and quiet. No Mono or Gecko installers,
# no crash dialog (a crashing test just fails), no menu entries. The comma form of the
# overrides survives CMake's list splitting.
export WINEPREFIX=$PWD/$dir/wineprefix
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe,winemenubuilder.exe="
unset DISPLAY WAYLAND_DISPLAY

cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  "${windows_cmake_args[@]}" >/dev/null

# wineboot starts Wine's helper processes (services, device manager); started inside ninja or
# ctest they would inherit its output pipe and keep it open long after the program has ended.
# Here they get /dev/null, and the persistent server keeps them for every later run.
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true  # already running is fine
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i </dev/null >/dev/null 2>&1
