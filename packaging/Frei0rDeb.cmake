# kelvrix-frei0r_VERSION_ARCH.deb: kelvrix.so where the frei0r hosts look for filters
# (/usr/lib/frei0r-1/), Kdenlive's description of it, the README and the licence notices. The
# module is stripped.
install(TARGETS kelvrix_frei0r LIBRARY DESTINATION lib/frei0r-1)
# Kdenlive lists a frei0r filter with the parameters and ranges its description gives.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/frei0r_kelvrix.xml DESTINATION share/kdenlive/effects)
set(doc share/doc/kelvrix-frei0r)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${doc})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE.txt DESTINATION ${doc} RENAME copyright)
install(FILES ${PROJECT_SOURCE_DIR}/resources/font/OpenSans-LICENSE-Apache-2.0.txt
  DESTINATION ${doc})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvrix-frei0r)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Torvendale)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Torvendale <kelvrix@torvendale.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://torvendale.invalid/kelvrix")
# What the module links, at the versions of the Debian release it is built on.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)")
set(CPACK_DEBIAN_PACKAGE_ENHANCES "ffmpeg, melt, gstreamer1.0-plugins-bad, kdenlive, shotcut")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "kelvrix glitch effect as a frei0r filter (ffmpeg, MLT, Kdenlive, Shotcut, GStreamer)")
# The long description; CPack indents it under the summary.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "The filter kelvrix ignores its input and paints the raw bytes of
freshly allocated, uncleared heap memory of the host process as a picture,
read as 8-bit, 16-bit or float channels and stretched over the frame with a
little noise. When no usable memory turns up it shows a message card over the
dimmed input. Parameters: size (0.001 to 1) and style (zesty, cloudy,
tripping).")
include(CPack)
