// Pixel records, channels in increasing address order. 16-bit white is 65535, not 32768;
// float samples are not clamped to 0..1.
#pragma once

extern "C" {

typedef struct OfxRGBAColourB {
  unsigned char r, g, b, a;
} OfxRGBAColourB;

typedef struct OfxRGBAColourS {
  unsigned short r, g, b, a;
} OfxRGBAColourS;

typedef struct OfxRGBAColourF {
  float r, g, b, a;
} OfxRGBAColourF;

typedef struct OfxRGBAColourD {
  double r, g, b, a;
} OfxRGBAColourD;

typedef struct OfxRGBColourB {
  unsigned char r, g, b;
} OfxRGBColourB;

typedef struct OfxRGBColourS {
  unsigned short r, g, b;
} OfxRGBColourS;

typedef struct OfxRGBColourF {
  float r, g, b;
} OfxRGBColourF;

typedef struct OfxRGBColourD {
  double r, g, b;
} OfxRGBColourD;

}  // extern "C"
