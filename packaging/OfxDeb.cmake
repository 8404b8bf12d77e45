# kelvrix-ofx_VERSION_ARCH.deb: the OpenFX bundle in /usr/OFX/Plugins, where Linux OpenFX hosts
# look. The module is stripped. The package settings common to both editions are in
# CMakeLists.txt.
set(bundle OFX/Plugins/kelvrix.ofx.bundle/Contents)
install(TARGETS kelvrix_ofx LIBRARY DESTINATION ${bundle}/Linux-x86-64 COMPONENT ofx)
install(FILES ${PROJECT_SOURCE_DIR}/resources/com.torvendale.kelvrix.png
  DESTINATION ${bundle}/Resources COMPONENT ofx)

set(CPACK_DEBIAN_OFX_PACKAGE_NAME kelvrix-ofx)
set(CPACK_DEBIAN_OFX_PACKAGE_SECTION graphics)
set(CPACK_COMPONENT_OFX_DESCRIPTION
  "kelvrix glitch effect for OpenFX hosts (Resolve, Nuke, Natron, ...)")
