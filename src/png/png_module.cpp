// The PNG module's entry point: reads the SVG picture with Qt SVG and paints
// it into an image at the picture's own size.
#include <QGuiApplication>
#include <cstdlib>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "png/png_module_abi.h"
#include "png/svg_to_png.h"

namespace {

// A headless run has no runtime folder; Qt's note about it says nothing the
// user can act on. Every other message goes to Qt's usual handler.
QtMessageHandler qtDefaultHandler = nullptr;

void quietHeadlessNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message.startsWith("QStandardPaths: XDG_RUNTIME_DIR")) return;
  if (qtDefaultHandler) qtDefaultHandler(type, context, message);
}

// Text on a picture needs a QGuiApplication: creates one when the process
// has none.
void ensureGuiApplication() {
  if (QGuiApplication::instance()) return;
  qtDefaultHandler = qInstallMessageHandler(quietHeadlessNotes);
  // A picture drawn into memory needs no display: the offscreen platform
  // also keeps a run over ssh with a stale DISPLAY from aborting, which is
  // what Qt does when it cannot reach the display it was told to use. A
  // platform the user chose is kept.
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "ventaro-gcode";
  static char* argv[] = {name, nullptr};
  // Kept for the rest of the process: Qt wants one application object for
  // as long as fonts are in use.
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

std::string rasterise(std::string_view svg) {
  ensureGuiApplication();
  return ventaro::svgToPng(svg);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int ventaro_svg_to_png(const char* svg, size_t svgSize,
                                                                         VentaroPngSink png, VentaroPngSink error,
                                                                         void* context) {
  // Nothing may unwind into the caller.
  const auto fail = [&](std::string_view text) {
    error(context, text.data(), text.size());
    return 1;
  };
  try {
    const std::string bytes = rasterise(std::string_view(svg, svgSize));
    png(context, bytes.data(), bytes.size());
    return 0;
  } catch (const std::bad_alloc&) {
    return fail("out of memory while drawing the PNG picture");
  } catch (const std::exception& e) {
    return fail(e.what());
  } catch (...) {
    return fail("the PNG picture could not be drawn");
  }
}

static_assert(std::is_same_v<decltype(&ventaro_svg_to_png), VentaroSvgToPng>);
