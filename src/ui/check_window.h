// The material-removal check of the program in the window, in a window
// beside it: the figures per tool and the picture of the milled block, as
// ventaro-gcode --check prints and draws them.
#pragma once

#include <QWidget>
#include <string>

#include "files/job_run.h"
#include "ui/picture_view.h"

class QPlainTextEdit;

namespace ventaro {

class CheckWindow : public QWidget {
  Q_OBJECT

 public:
  explicit CheckWindow(QWidget* parent);

  // Checks the run's program; without a run, a line that says how to get one.
  void showRun(const JobRun* run);

  QString text() const;
  // The picture's PNG bytes; empty when there is none.
  const std::string& picture() const { return picture_; }
  PictureView* view() const { return image_; }

 signals:
  // The user double-clicked a line of the figures that names a program line.
  void lineChosen(int line);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPlainTextEdit* figures_;
  PictureView* image_;
  std::string picture_;
};

}  // namespace ventaro
