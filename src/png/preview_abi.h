/* The interface between ventaro-gcode and its preview module, the shared
 * object that brings in Qt Gui and Svg. The command line loads the module
 * only when a preview is asked for, so every other run goes without Qt.
 * Plain C: fixed-size structs, pointers with sizes, and callbacks for what
 * comes back; no exception and no C++ object crosses it. */
#ifndef VENTARO_CLI_PREVIEW_ABI_H
#define VENTARO_CLI_PREVIEW_ABI_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Raised whenever a struct below changes; the module refuses a request of
 * another version. */
#define VENTARO_PREVIEW_ABI_VERSION 1

/* The entry point's symbol name. */
#define VENTARO_PREVIEW_ENTRY "ventaro_preview_draw"

/* Section points per station, indexed as the section table (1 to 18; entry 0
 * is unused). */
#define VENTARO_PREVIEW_POINTS 19

enum VentaroPreviewSweep { VENTARO_PREVIEW_ROUGHING = 0, VENTARO_PREVIEW_FINISHING = 1 };
enum VentaroPreviewFormat { VENTARO_PREVIEW_SVG = 0, VENTARO_PREVIEW_PNG = 1 };

struct VentaroPreviewPoint {
  double y; /* SectionY */
  float z;  /* SectionZ */
};

/* One station the computation placed. */
struct VentaroPreviewStation {
  int sweep; /* enum VentaroPreviewSweep */
  int index;
  float radius;
  double chordScale;
  double twist;
  double offsetZ;
  float offsetY;
  float x; /* StationX, millimetres */
  struct VentaroPreviewPoint points[VENTARO_PREVIEW_POINTS];
};

struct VentaroPreviewRequest {
  int abiVersion; /* VENTARO_PREVIEW_ABI_VERSION */
  int format;     /* enum VentaroPreviewFormat */
  /* The program text as written (lines joined by CR LF); the module reads
   * the moves from it. */
  const char* program;
  size_t programSize;
  /* Roughing stations first, then finishing, each in computation order. */
  const struct VentaroPreviewStation* stations;
  size_t stationCount;
  double stockWidthMm;
  double hubMm;
  double tipMm;
};

/* Receives bytes the module hands back; they are valid during the call only. */
typedef void (*VentaroPreviewSink)(void* context, const char* data, size_t size);

/* Draws the picture. On success passes its file bytes to `picture` once and
 * returns 0; on failure passes an error text to `error` once and returns a
 * non-zero value. */
typedef int (*VentaroPreviewDraw)(const struct VentaroPreviewRequest* request, VentaroPreviewSink picture,
                                  VentaroPreviewSink error, void* context);

#ifdef __cplusplus
}
#endif

#endif /* VENTARO_CLI_PREVIEW_ABI_H */
