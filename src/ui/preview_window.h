// The preview picture in a window beside the main one, drawn again after
// each successful "Compute": the same SVG picture that Export and
// ventaro-gcode --preview write.
#pragma once

#include <QByteArray>
#include <QWidget>
#include <functional>
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

// A picture of the last run in a window beside the main one: the preview,
// or any other picture drawn from the run (the performance curves).
class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  // Draws a run's picture as SVG; what it raises is named in the window.
  using Draw = std::function<std::string(const JobRun&)>;

  // The preview.
  explicit PreviewWindow(QWidget* parent);
  // Another picture: its window title, the picture's object name, the line
  // shown before any run, and how it is drawn.
  PreviewWindow(QWidget* parent, const QString& title, const QString& pictureName, const QString& noRun, Draw draw);

  // Shows the run's picture; without a run, a line that says how to get one.
  void showRun(const JobRun* run);
  const QByteArray& svg() const { return svg_; }
  PictureView* view() const { return picture_; }

 private:
  PictureView* picture_;
  QLabel* note_;
  QByteArray svg_;
  QString noRun_;
  Draw draw_;
};

}  // namespace ventaro
