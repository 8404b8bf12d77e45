# A Mac build (one architecture, cmake/zig.cmake) stages what the bundles hold besides the
# binaries and the PiPL; scripts/macos-build.sh joins two such builds into the universal bundles
# and the zip. Each binary is signed by the linker (arm64) and never touched afterwards: the
# bundles are assembled from these files, not by rewriting them.
set(stage ${CMAKE_BINARY_DIR}/macos-stage)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kelvrix.plugin.Info.plist.in
  ${stage}/kelvrix.plugin/Info.plist @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kelvrix.ofx.Info.plist.in
  ${stage}/kelvrix.ofx.bundle/Info.plist @ONLY)
# Package type and creator, no newline: what Finder and the host read before the Info.plist.
file(WRITE ${stage}/kelvrix.plugin/PkgInfo "eFKTFXTC")
configure_file(${CMAKE_CURRENT_LIST_DIR}/INSTALL-macOS.txt.in ${stage}/INSTALL-macOS.txt @ONLY)
file(WRITE ${stage}/version "${PROJECT_VERSION}")
