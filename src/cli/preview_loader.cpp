#include "cli/preview_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <vector>

#include "png/preview_abi.h"

#ifndef VENTARO_PREVIEW_MODULE_NAME
#error "VENTARO_PREVIEW_MODULE_NAME must name the preview module's file"
#endif

namespace ventaro::cli {

namespace {

VentaroPreviewStation stationOf(Sweep sweep, const StationRecord& rec) {
  VentaroPreviewStation s{};
  s.sweep = sweep == Sweep::Finishing ? VENTARO_PREVIEW_FINISHING : VENTARO_PREVIEW_ROUGHING;
  s.index = rec.index;
  s.radius = rec.station.Radius;
  s.chordScale = rec.station.ChordScale;
  s.twist = rec.station.Twist;
  s.offsetZ = rec.station.OffsetZ;
  s.offsetY = rec.station.OffsetY;
  s.x = rec.x;
  static_assert(VENTARO_PREVIEW_POINTS == SectionTable::kUpper + 1);
  for (std::size_t j = 0; j < rec.points.size(); ++j) s.points[j] = {rec.points[j].Y, rec.points[j].Z};
  return s;
}

struct Reply {
  std::string picture;
  std::string error;
};

void keepPicture(void* context, const char* data, std::size_t size) {
  static_cast<Reply*>(context)->picture.assign(data, size);
}

void keepError(void* context, const char* data, std::size_t size) {
  static_cast<Reply*>(context)->error.assign(data, size);
}

// Loaded once and kept for the rest of the process: Qt does not take being
// unloaded well.
VentaroPreviewDraw loadEntry() {
  static VentaroPreviewDraw entry = nullptr;
  if (entry) return entry;
  const std::string path = previewModulePath();
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* why = ::dlerror();
    throw PreviewError("the preview needs the module \"" + path +
                       "\", which could not be loaded: " + (why ? why : "unknown reason"));
  }
  void* symbol = ::dlsym(module, VENTARO_PREVIEW_ENTRY);
  if (!symbol) {
    throw PreviewError("the preview module \"" + path + "\" has no entry point " VENTARO_PREVIEW_ENTRY);
  }
  entry = reinterpret_cast<VentaroPreviewDraw>(symbol);
  return entry;
}

}  // namespace

std::string previewModulePath() {
  std::vector<char> buf(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) throw PreviewError("the preview module cannot be found: the program's own path is unknown");
    if (static_cast<std::size_t>(n) < buf.size()) {
      std::string exe(buf.data(), static_cast<std::size_t>(n));
      return exe.substr(0, exe.rfind('/') + 1) + VENTARO_PREVIEW_MODULE_NAME;
    }
    buf.resize(buf.size() * 2);
  }
}

std::string previewThroughModule(const DesignRecord& record, std::string_view program, const JobFields& fields,
                                 PreviewFormat format) {
  const PreviewExtent extent = previewExtent(fields);
  const VentaroPreviewDraw draw = loadEntry();

  std::vector<VentaroPreviewStation> stations;
  stations.reserve(record.roughing.size() + record.finishing.size());
  for (const auto& rec : record.roughing) stations.push_back(stationOf(Sweep::Roughing, rec));
  for (const auto& rec : record.finishing) stations.push_back(stationOf(Sweep::Finishing, rec));

  VentaroPreviewRequest request{};
  request.abiVersion = VENTARO_PREVIEW_ABI_VERSION;
  request.format = format == PreviewFormat::Svg ? VENTARO_PREVIEW_SVG : VENTARO_PREVIEW_PNG;
  request.program = program.data();
  request.programSize = program.size();
  request.stations = stations.data();
  request.stationCount = stations.size();
  request.stockWidthMm = extent.stockWidthMm;
  request.hubMm = extent.hubMm;
  request.tipMm = extent.tipMm;

  Reply reply;
  if (draw(&request, keepPicture, keepError, &reply) != 0) {
    throw PreviewError(reply.error.empty() ? "the preview could not be drawn" : reply.error);
  }
  return std::move(reply.picture);
}

}  // namespace ventaro::cli
