# kelvrix-ofx_VERSION_ARCH.deb: the OpenFX bundle in /usr/OFX/Plugins, where Linux OpenFX hosts
# look. The module is stripped. The package settings common to both editions, the copyright file
# and the changelog among them, are in CMakeLists.txt.
set(bundle OFX/Plugins/kelvrix.ofx.bundle/Contents)
install(TARGETS kelvrix_ofx LIBRARY DESTINATION ${bundle}/Linux-x86-64 COMPONENT ofx)
install(FILES ${PROJECT_SOURCE_DIR}/resources/com.torvendale.kelvrix.png
  DESTINATION ${bundle}/Resources COMPONENT ofx)

# lintian warns of files outside the FHS directories; /usr/OFX/Plugins is where the hosts look.
install(FILES kelvrix-ofx.lintian-overrides DESTINATION share/lintian/overrides
  RENAME kelvrix-ofx COMPONENT ofx)

set(CPACK_DEBIAN_OFX_PACKAGE_NAME kelvrix-ofx)
set(CPACK_DEBIAN_OFX_PACKAGE_SECTION graphics)
set(CPACK_COMPONENT_OFX_DESCRIPTION
  "kelvrix glitch effect for OpenFX hosts (Resolve, Nuke, Natron, ...)
The OpenFX image effect kelvrix (group Torvendale) ignores its source and
paints the raw bytes of freshly allocated, uncleared heap memory of the host
process as a picture, read as 8-bit, 16-bit or float channels and stretched
over the frame with a little noise. When no usable memory turns up it shows a
message card over the dimmed source. Parameters: Size (1 to 1000) and Style
(Zesty, Cloudy, Tripping).

The bundle kelvrix.ofx.bundle goes into /usr/OFX/Plugins, where Linux OpenFX
hosts look for plug-ins.")
