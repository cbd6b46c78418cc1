#include "ui/design_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "aero/xfoil_run.h"
#include "core/number_text.h"
#include "files/performance.h"
#include "machine/fixed_text.h"

namespace ventaro {

namespace {

std::optional<double> positiveNumber(const QString& text) {
  const ParsedNumber n = parseNumber(text.trimmed().toStdString());
  if (n.status != ParseStatus::Ok || !std::isfinite(n.value) || !(n.value > 0)) return std::nullopt;
  return n.value;
}

}  // namespace

DesignDialog::DesignDialog(const MachineSettings& machine, QWidget* parent)
    : QDialog(parent), design_(machine.design), performance_(machine.performance) {
  setWindowTitle(QStringLiteral("Blade Design"));
  method_ = new QComboBox(this);
  method_->setObjectName(QStringLiteral("method"));
  method_->addItem(QStringLiteral("Classic: the program's rule"), static_cast<int>(DesignMethod::Classic));
  method_->addItem(QStringLiteral("Schmitz: optimum with wake rotation"), static_cast<int>(DesignMethod::Schmitz));
  method_->setCurrentIndex(method_->findData(static_cast<int>(design_.method)));
  lift_ = new QComboBox(this);
  lift_->setObjectName(QStringLiteral("designLift"));
  lift_->addItem(QStringLiteral("As typed in \u201cLift coefficient\u201d"), false);
  lift_->addItem(QStringLiteral("From the polars at the design angle"), true);
  lift_->setCurrentIndex(design_.liftFromPolar ? 1 : 0);
  chordCap_ =
      new QLineEdit(design_.chordCap ? QString::fromStdString(fixedText(*design_.chordCap, 1)) : QString(), this);
  chordCap_->setObjectName(QStringLiteral("chordCap"));
  chordCap_->setPlaceholderText(QStringLiteral("none"));
  straight_ = new QLineEdit(design_.straight ? QString::fromStdString(fixedText(design_.straight->first, 2) + ", " +
                                                                      fixedText(design_.straight->second, 2))
                                             : QString(),
                            this);
  straight_->setObjectName(QStringLiteral("straight"));
  straight_->setPlaceholderText(QStringLiteral("none, or two fractions of the tip radius: 0.5, 0.9"));
  blank_ = new QLineEdit(
      design_.blankThickness ? QString::fromStdString(fixedText(*design_.blankThickness, 1)) : QString(), this);
  blank_->setObjectName(QStringLiteral("blankThickness"));
  blank_->setPlaceholderText(QStringLiteral("none: the twist the method gives"));
  rootBlock_ = new QLineEdit(design_.rootBlock ? QString::fromStdString(fixedText(design_.rootBlock->first, 1) + ", " +
                                                                        fixedText(design_.rootBlock->second, 1))
                                               : QString(),
                             this);
  rootBlock_->setObjectName(QStringLiteral("rootBlock"));
  rootBlock_->setPlaceholderText(QStringLiteral("none, or its length and the transition's: 60, 80"));
  airfoil_ = new QLineEdit(QString::fromStdString(design_.airfoil), this);
  airfoil_->setObjectName(QStringLiteral("airfoil"));
  airfoil_->setPlaceholderText(QStringLiteral("NACA 4412; or naca2412, or a .dat file"));
  wind_ = new QLineEdit(QString::fromStdString(fixedText(performance_.wind, 1)), this);
  wind_->setObjectName(QStringLiteral("wind"));
  polars_ = new QListWidget(this);
  polars_->setObjectName(QStringLiteral("polars"));
  for (const std::string& file : performance_.polarFiles) polars_->addItem(QString::fromStdString(file));
  auto* add = new QPushButton(QStringLiteral("Add\u2026"), this);
  auto* remove = new QPushButton(QStringLiteral("Remove"), this);
  connect(add, &QPushButton::clicked, this, [this] {
    const QStringList files =
        QFileDialog::getOpenFileNames(this, QStringLiteral("Add Polar Files"), QString(),
                                      QStringLiteral("XFOIL polars (*.txt *.pol *.dat);;All files (*)"));
    for (const QString& file : files) polars_->addItem(file);
  });
  connect(remove, &QPushButton::clicked, this, [this] { delete polars_->currentItem(); });
  auto* buttons = new QVBoxLayout;
  buttons->addWidget(add);
  buttons->addWidget(remove);
  buttons->addStretch();
  auto* polarRow = new QHBoxLayout;
  polarRow->addWidget(polars_, 1);
  polarRow->addLayout(buttons);

  xfoil_ = new QCheckBox(QStringLiteral("From XFOIL, run here (takes some seconds)"), this);
  xfoil_->setObjectName(QStringLiteral("xfoil"));
  xfoil_->setChecked(performance_.xfoil);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Method"), method_);
  form->addRow(QStringLiteral("Design lift"), lift_);
  form->addRow(QStringLiteral("Chord cap / mm"), chordCap_);
  form->addRow(QStringLiteral("Straight chord and twist"), straight_);
  form->addRow(QStringLiteral("Blank thickness / mm"), blank_);
  form->addRow(QStringLiteral("Root block / mm"), rootBlock_);
  form->addRow(QStringLiteral("Airfoil"), airfoil_);
  form->addRow(QStringLiteral("Wind / (m/s)"), wind_);
  form->addRow(QStringLiteral("Polar files (none: NACA 4412)"), polarRow);
  form->addRow(QStringLiteral("Polars of the airfoil"), xfoil_);
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("problem"));
  problem_->setWordWrap(true);
  problem_->setStyleSheet(QStringLiteral("color: #b00020"));
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(box, &QDialogButtonBox::accepted, this, &DesignDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &DesignDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(box);
}

void DesignDialog::accept() {
  DesignSettings design;
  PerformanceSettings performance;
  const auto refuse = [this](const QString& why, QWidget* field) {
    problem_->setText(why);
    field->setFocus();
  };
  design.method = static_cast<DesignMethod>(method_->currentData().toInt());
  design.liftFromPolar = lift_->currentData().toBool();
  if (!chordCap_->text().trimmed().isEmpty() && chordCap_->text().trimmed() != QStringLiteral("none")) {
    design.chordCap = positiveNumber(chordCap_->text());
    if (!design.chordCap)
      return refuse(QStringLiteral("The chord cap must be a positive width in mm, or empty."), chordCap_);
  }
  const QString straight = straight_->text().trimmed();
  if (!straight.isEmpty() && straight != QStringLiteral("none")) {
    const auto pair = parseNumberPair(straight.toStdString());
    if (!pair || !(pair->first >= 0 && pair->first < pair->second && pair->second <= 1)) {
      return refuse(QStringLiteral("The straight chord and twist need two rising fractions of the tip radius, "
                                   "e.g. 0.5, 0.9, or nothing."),
                    straight_);
    }
    design.straight = pair;
  }
  if (!blank_->text().trimmed().isEmpty() && blank_->text().trimmed() != QStringLiteral("none")) {
    design.blankThickness = positiveNumber(blank_->text());
    if (!design.blankThickness) {
      return refuse(QStringLiteral("The blank thickness must be a positive length in mm, or empty."), blank_);
    }
  }
  const QString root = rootBlock_->text().trimmed();
  if (!root.isEmpty() && root != QStringLiteral("none")) {
    const auto pair = parseNumberPair(root.toStdString());
    if (!pair || !(pair->first >= 0 && pair->second > 0)) {
      return refuse(QStringLiteral("The root block needs its length and the transition's in mm, e.g. 60, 80, "
                                   "the transition longer than 0, or nothing."),
                    rootBlock_);
    }
    design.rootBlock = pair;
  }
  design.airfoil = airfoil_->text().trimmed().toStdString();
  try {
    (void)designAirfoil(design);
  } catch (const AirfoilError& error) {
    return refuse(QString::fromUtf8(error.what()), airfoil_);
  }
  const std::optional<double> wind = positiveNumber(wind_->text());
  if (!wind || *wind > kMaxWind) {
    return refuse(QStringLiteral("The wind speed must be a positive number of m/s, at most 100."), wind_);
  }
  performance.wind = *wind;
  for (int i = 0; i < polars_->count(); ++i) performance.polarFiles.push_back(polars_->item(i)->text().toStdString());
  performance.xfoil = xfoil_->isChecked();
  if (performance.xfoil) {
    if (!performance.polarFiles.empty()) {
      return refuse(QStringLiteral("Give polar files or ask for XFOIL's polars, not both."), xfoil_);
    }
    if (!xfoilInstalled()) {
      return refuse(QStringLiteral("XFOIL is not installed (Debian: apt-get install xfoil)."), xfoil_);
    }
  } else {
    try {
      if (!performance.polarFiles.empty()) (void)PolarSet(performancePolars(performance));
    } catch (const PolarError& error) {
      return refuse(QString::fromUtf8(error.what()), polars_);
    }
  }
  design_ = design;
  performance_ = performance;
  QDialog::accept();
}

}  // namespace ventaro
