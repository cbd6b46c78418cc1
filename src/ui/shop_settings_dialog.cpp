#include "ui/shop_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <array>
#include <charconv>
#include <cmath>

#include "core/number_text.h"
#include "machine/machine_limits.h"

namespace ventaro {

namespace {

// The shortest text that reads back as the same number.
QString numberText(double value) {
  std::array<char, 32> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
}

QComboBox* shapeBox(ToolShape shape, QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->addItem(QStringLiteral("flat end mill"), static_cast<int>(ToolShape::Flat));
  box->addItem(QStringLiteral("ball-nose"), static_cast<int>(ToolShape::Ball));
  box->setCurrentIndex(box->findData(static_cast<int>(shape)));
  return box;
}

QLineEdit* numberField(const char* name, const QString& text, QWidget* parent) {
  auto* field = new QLineEdit(text, parent);
  field->setObjectName(QLatin1String(name));
  return field;
}

ToolShape shapeOf(const QComboBox* box) { return static_cast<ToolShape>(box->currentData().toInt()); }

// A finite number, positive where asked; empty when the text is none.
std::optional<double> readNumber(const QLineEdit* field, bool positive) {
  const ParsedNumber n = parseNumber(field->text().trimmed().toStdString());
  if (n.status != ParseStatus::Ok || !std::isfinite(n.value) || (positive && !(n.value > 0))) return std::nullopt;
  return n.value;
}

}  // namespace

ShopSettingsDialog::ShopSettingsDialog(const ShopSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(QStringLiteral("Shop job settings"));
  roughShape_ = shapeBox(settings.roughShape, this);
  roughShape_->setObjectName(QStringLiteral("roughShape"));
  finShape_ = shapeBox(settings.finShape, this);
  finShape_->setObjectName(QStringLiteral("finShape"));
  roughRpm_ = numberField("roughRpm", numberText(settings.roughRpm), this);
  finRpm_ = numberField("finRpm", numberText(settings.finRpm), this);
  plungeFeed_ = numberField("plungeFeed", numberText(settings.plungeFeed), this);
  blockTop_ = numberField("blockTop", settings.blockTop ? numberText(*settings.blockTop) : QString(), this);
  blockTop_->setPlaceholderText(QStringLiteral("from the blade"));
  clearance_ = numberField("clearance", numberText(settings.clearance), this);
  tolerance_ = numberField("tolerance", numberText(settings.tolerance), this);
  scallop_ = numberField("scallop", numberText(settings.scallop), this);
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("problem"));
  problem_->setTextFormat(Qt::PlainText);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Roughing tool shape"), roughShape_);
  form->addRow(QStringLiteral("Finishing tool shape"), finShape_);
  const auto label = [](Setting setting) { return QString::fromUtf8(settingLabel(setting).data()); };
  form->addRow(label(Setting::RoughRpm), roughRpm_);
  form->addRow(label(Setting::FinRpm), finRpm_);
  form->addRow(label(Setting::PlungeFeed), plungeFeed_);
  form->addRow(label(Setting::BlockTop), blockTop_);
  form->addRow(label(Setting::Clearance), clearance_);
  form->addRow(label(Setting::Tolerance), tolerance_);
  form->addRow(label(Setting::Scallop), scallop_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ShopSettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ShopSettingsDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
}

std::optional<ShopSettings> ShopSettingsDialog::read() {
  ShopSettings result;
  result.roughShape = shapeOf(roughShape_);
  result.finShape = shapeOf(finShape_);
  struct Entry {
    QLineEdit* field;
    double ShopSettings::*member;
    const char* what;
  };
  const Entry entries[] = {
      {roughRpm_, &ShopSettings::roughRpm, "The roughing spindle speed"},
      {finRpm_, &ShopSettings::finRpm, "The finishing spindle speed"},
      {plungeFeed_, &ShopSettings::plungeFeed, "The plunge feed"},
      {clearance_, &ShopSettings::clearance, "The clearance"},
      {tolerance_, &ShopSettings::tolerance, "The tolerance"},
      {scallop_, &ShopSettings::scallop, "The scallop height"},
  };
  for (const Entry& entry : entries) {
    const auto value = readNumber(entry.field, true);
    if (!value) {
      problem_->setText(QString::fromLatin1(entry.what) + QStringLiteral(" must be a positive number."));
      entry.field->setFocus();
      return std::nullopt;
    }
    result.*entry.member = *value;
  }
  if (!blockTop_->text().trimmed().isEmpty()) {
    result.blockTop = readNumber(blockTop_, false);
    if (!result.blockTop) {
      problem_->setText(QStringLiteral("The block top must be a number, or empty to work it out from the blade."));
      blockTop_->setFocus();
      return std::nullopt;
    }
  }
  if (const auto problem = settingProblem(result)) {
    problem_->setText(QString::fromUtf8(problem->what()));
    const std::pair<Setting, QLineEdit*> fields[] = {
        {Setting::RoughRpm, roughRpm_},   {Setting::FinRpm, finRpm_},       {Setting::PlungeFeed, plungeFeed_},
        {Setting::Clearance, clearance_}, {Setting::Tolerance, tolerance_}, {Setting::BlockTop, blockTop_},
        {Setting::Scallop, scallop_}};
    for (const auto& [setting, field] : fields) {
      if (setting == problem->setting()) field->setFocus();
    }
    return std::nullopt;
  }
  return result;
}

void ShopSettingsDialog::accept() {
  if (const auto read = this->read()) {
    settings_ = *read;
    QDialog::accept();
  }
}

}  // namespace ventaro
