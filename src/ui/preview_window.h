// The preview picture in a window beside the main one, drawn again after
// each successful "Compute": the same SVG picture that Export and
// ventaro-gcode --preview write.
#pragma once

#include <QByteArray>
#include <QWidget>
#include <string>

#include "core/section_table.h"
#include "files/job_run.h"
#include "picture/preview_input.h"
#include "ui/picture_view.h"

class QLabel;

namespace ventaro {

// The picture of a run (made with its outputs) in the format asked for, as
// ventaro-gcode --preview writes it. Raises PreviewError.
std::string previewPicture(const JobRun& run, PreviewFormat format);

class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  explicit PreviewWindow(QWidget* parent);

  // Shows the run's picture; without a run, a line that says how to get one.
  void showRun(const JobRun* run);
  const QByteArray& svg() const { return svg_; }
  PictureView* view() const { return picture_; }

 private:
  PictureView* picture_;
  QLabel* note_;
  QByteArray svg_;
};

}  // namespace ventaro
