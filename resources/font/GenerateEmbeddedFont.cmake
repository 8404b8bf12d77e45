# Writes a C++ source defining EmbeddedFontBase64, the base64 text of a font file.
#   cmake -DINPUT=<font file> -DOUTPUT=<source file> -P GenerateEmbeddedFont.cmake
# Pure CMake so that it runs on the build machine whatever the target (MinGW cross builds too).
# The encoding works on whole strings rather than per byte: hex digits become four-letter bit
# groups of 'o' (0) and 'i' (1), the bit string is cut into sextets, and each sextet pattern is
# replaced by its base64 character. Sextets end in '.', so a replaced character can never be taken
# for part of the next pattern.
if(NOT INPUT OR NOT OUTPUT)
  message(FATAL_ERROR "GenerateEmbeddedFont.cmake needs -DINPUT=<font> and -DOUTPUT=<source>")
endif()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR byteCount "${hexLength} / 2")

set(nibbles 0 1 2 3 4 5 6 7 8 9 a b c d e f)
# Neither 'o' nor 'i' is a hex digit, so a replaced nibble is never replaced again.
set(patterns oooo oooi ooio ooii oioo oioi oiio oiii iooo iooi ioio ioii iioo iioi iiio iiii)
set(bits "${hex}")
foreach(index RANGE 15)
  list(GET nibbles ${index} nibble)
  list(GET patterns ${index} pattern)
  string(REPLACE "${nibble}" "${pattern}" bits "${bits}")
endforeach()

# Pad with zero bits to whole sextets; '=' padding then marks the bytes that are not data.
math(EXPR padBits "(6 - (${byteCount} * 8) % 6) % 6")
set(padding "")
if(padBits EQUAL 2)
  set(bits "${bits}oo")
  set(padding "=")
elseif(padBits EQUAL 4)
  set(bits "${bits}oooo")
  set(padding "==")
endif()

string(REGEX REPLACE "([oi][oi][oi][oi][oi][oi])" "\\1." sextets "${bits}")
set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
foreach(value RANGE 63)
  set(pattern "")
  foreach(bit 5 4 3 2 1 0)
    math(EXPR set "(${value} >> ${bit}) & 1")
    if(set)
      string(APPEND pattern "i")
    else()
      string(APPEND pattern "o")
    endif()
  endforeach()
  string(SUBSTRING "${alphabet}" ${value} 1 character)
  string(REPLACE "${pattern}." "${character}" sextets "${sextets}")
endforeach()
set(base64 "${sextets}${padding}")

# One string literal per 76 characters; the pieces concatenate into the single constant.
string(REGEX REPLACE "(............................................................................)"
       "  \"\\1\"\n" body "${base64}")
string(REGEX REPLACE "\n([^\n\"]+)$" "\n  \"\\1\"\n" body "${body}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by GenerateEmbeddedFont.cmake; do not edit.\n"
  "#include \"resources/font/EmbeddedFont.h\"\n\n"
  "extern const char EmbeddedFontBase64[] =\n${body};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
