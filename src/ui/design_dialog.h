// The blade's design options and what its performance is worked out for,
// in a dialog of the Machine menu: the design method, where the design lift
// coefficient comes from, a chord cap, a straight chord and twist, the wind
// speed and the airfoil's polar files. All are off by default; the plain
// program keeps the rule whatever they say.
#pragma once

#include <QDialog>
#include <optional>

#include "machine/machine_settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace ventaro {

class DesignDialog : public QDialog {
  Q_OBJECT

 public:
  DesignDialog(const MachineSettings& machine, QWidget* parent = nullptr);

  // The settings as the dialog holds them; set once "OK" is accepted.
  const DesignSettings& design() const { return design_; }
  const PerformanceSettings& performance() const { return performance_; }

  // Reads the fields; on a text that does not fit, or a polar file that
  // cannot be read, names it in the dialog's problem line and stays open.
  void accept() override;

 private:
  DesignSettings design_;
  PerformanceSettings performance_;
  QComboBox* method_;
  QComboBox* lift_;
  QLineEdit* chordCap_;
  QLineEdit* straight_;
  QLineEdit* blank_;
  QLineEdit* rootBlock_;
  QCheckBox* xfoil_;
  QLineEdit* airfoil_;
  QLineEdit* wind_;
  QListWidget* polars_;
  QLabel* problem_;
};

}  // namespace ventaro
