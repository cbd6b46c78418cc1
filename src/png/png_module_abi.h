/* The interface between ventaro-gcode and its PNG module, the shared object
 * that brings in Qt Gui and Svg. The command line draws every picture as
 * SVG itself and loads the module only to turn one into PNG, so every other
 * run goes without Qt. Plain C: the SVG text goes in, the PNG file's bytes
 * (or an error text) come back through a callback; no struct, exception or
 * C++ object crosses it. */
#ifndef VENTARO_PNG_MODULE_ABI_H
#define VENTARO_PNG_MODULE_ABI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The entry point's symbol name. */
#define VENTARO_PNG_ENTRY "ventaro_svg_to_png"

/* Receives bytes the module hands back; they are valid during the call only. */
typedef void (*VentaroPngSink)(void* context, const char* data, size_t size);

/* Rasterises the SVG picture `svg` (UTF-8, `svgSize` bytes) at its own size
 * onto white. On success passes the PNG file's bytes to `png` once and
 * returns 0; on failure passes an error text to `error` once and returns a
 * non-zero value. */
typedef int (*VentaroSvgToPng)(const char* svg, size_t svgSize, VentaroPngSink png, VentaroPngSink error,
                               void* context);

#ifdef __cplusplus
}
#endif

#endif /* VENTARO_PNG_MODULE_ABI_H */
