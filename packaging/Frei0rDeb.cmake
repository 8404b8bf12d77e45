# kelvrix-frei0r_VERSION_ARCH.deb: kelvrix.so where the frei0r hosts look for filters
# (/usr/lib/frei0r-1/), Kdenlive's description of it, the README and the font's licence. The
# module is stripped. The package settings common to both editions, the copyright file and the
# changelog among them, are in CMakeLists.txt.
install(TARGETS kelvrix_frei0r LIBRARY DESTINATION lib/frei0r-1 COMPONENT frei0r)
# Kdenlive lists a frei0r filter with the parameters and ranges its description gives.
install(FILES ${CMAKE_CURRENT_SOURCE_DIR}/frei0r_kelvrix.xml DESTINATION share/kdenlive/effects
  COMPONENT frei0r)
set(doc share/doc/kelvrix-frei0r)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${doc} COMPONENT frei0r)
install(FILES ${PROJECT_SOURCE_DIR}/resources/font/OpenSans-LICENSE-Apache-2.0.txt
  DESTINATION ${doc} COMPONENT frei0r)

set(CPACK_DEBIAN_FREI0R_PACKAGE_NAME kelvrix-frei0r)
set(CPACK_DEBIAN_FREI0R_PACKAGE_SECTION video)
set(CPACK_DEBIAN_FREI0R_PACKAGE_ENHANCES
  "ffmpeg, melt, gstreamer1.0-plugins-bad, kdenlive, shotcut")
# The synopsis (the first line) stays under 80 columns; the hosts go on in the text below.
set(CPACK_COMPONENT_FREI0R_DESCRIPTION
  "kelvrix glitch effect as a frei0r filter (ffmpeg, MLT, GStreamer)
The filter kelvrix ignores its input and paints the raw bytes of
freshly allocated, uncleared heap memory of the host process as a picture,
read as 8-bit, 16-bit or float channels and stretched over the frame with a
little noise. When no usable memory turns up it shows a message card over the
dimmed input. Parameters: size (0.001 to 1) and style (zesty, cloudy,
tripping). ffmpeg, MLT (Kdenlive, Shotcut) and GStreamer load it from
/usr/lib/frei0r-1.")
