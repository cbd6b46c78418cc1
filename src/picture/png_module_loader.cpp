#include "picture/png_module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

#include "picture/preview_input.h"
#include "png/png_module_abi.h"

namespace ventaro {

#ifdef VENTARO_PNG_MODULE_NAME

namespace {

// The module's path: the folder of the running program and the module's
// file name.
std::string pngModulePath() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) throw PreviewError("the PNG module cannot be found: the program's own path is unknown");
    if (static_cast<std::size_t>(n) < buf.size()) {
      std::string exe(buf.data(), static_cast<std::size_t>(n));
      return exe.substr(0, exe.rfind('/') + 1) + VENTARO_PNG_MODULE_NAME;
    }
    buf.resize(buf.size() * 2);
  }
}

struct Reply {
  std::string png;
  std::string error;
};

void keepPng(void* context, const char* data, std::size_t size) {
  static_cast<Reply*>(context)->png.assign(data, size);
}

void keepError(void* context, const char* data, std::size_t size) {
  static_cast<Reply*>(context)->error.assign(data, size);
}

// Loaded once and kept for the rest of the process: Qt does not take being
// unloaded well.
VentaroSvgToPng loadEntry() {
  static VentaroSvgToPng entry = nullptr;
  if (entry) return entry;
  const std::string path = pngModulePath();
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = ::dlerror();
    throw PreviewError("the PNG picture needs the module \"" + path +
                       "\", which could not be loaded: " + (why ? why : "unknown reason"));
  }
  void* symbol = ::dlsym(module, VENTARO_PNG_ENTRY);
  if (!symbol) throw PreviewError("the PNG module \"" + path + "\" has no entry point " VENTARO_PNG_ENTRY);
  entry = reinterpret_cast<VentaroSvgToPng>(symbol);
  return entry;
}

}  // namespace

bool pngModuleBuilt() { return true; }

std::string pngFromSvg(std::string_view svg) {
  const VentaroSvgToPng toPng = loadEntry();
  Reply reply;
  if (toPng(svg.data(), svg.size(), keepPng, keepError, &reply) != 0) {
    throw PreviewError(reply.error.empty() ? "the PNG picture could not be drawn" : reply.error);
  }
  return std::move(reply.png);
}

#else  // built without Qt: no module

bool pngModuleBuilt() { return false; }

std::string pngFromSvg(std::string_view) {
  throw PreviewError("this program was built without Qt and cannot write PNG pictures; an SVG picture needs no Qt");
}

#endif

}  // namespace ventaro
