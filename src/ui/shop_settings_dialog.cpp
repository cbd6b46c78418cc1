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

// The settings that are numbers, in the dialog's order, with the field's
// object name and what a problem calls it.
struct NumberEntry {
  Setting setting;
  double ShopSettings::*member;
  const char* name;
  const char* what;
};
constexpr NumberEntry kNumbers[] = {
    {Setting::RoughRpm, &ShopSettings::roughRpm, "roughRpm", "The roughing spindle speed"},
    {Setting::FinRpm, &ShopSettings::finRpm, "finRpm", "The finishing spindle speed"},
    {Setting::PlungeFeed, &ShopSettings::plungeFeed, "plungeFeed", "The plunge feed"},
    {Setting::Clearance, &ShopSettings::clearance, "clearance", "The clearance"},
    {Setting::Tolerance, &ShopSettings::tolerance, "tolerance", "The tolerance"},
    {Setting::Scallop, &ShopSettings::scallop, "scallop", "The scallop height"},
    {Setting::RoughFlutes, &ShopSettings::roughFlutes, "roughFlutes", "The roughing tool's flute count"},
    {Setting::FinFlutes, &ShopSettings::finFlutes, "finFlutes", "The finishing tool's flute count"},
    {Setting::RoughChipLoad, &ShopSettings::roughChipLoad, "roughChipLoad", "The roughing chip load"},
    {Setting::FinChipLoad, &ShopSettings::finChipLoad, "finChipLoad", "The finishing chip load"},
    {Setting::RoughHolder, &ShopSettings::roughHolder, "roughHolder", "The roughing holder's diameter"},
    {Setting::FinHolder, &ShopSettings::finHolder, "finHolder", "The finishing holder's diameter"},
};

// The settings that may be left empty, with what empty means.
struct OptionalEntry {
  Setting setting;
  std::optional<double> ShopSettings::*member;
  const char* name;
  const char* empty;
  bool positive;
};
constexpr OptionalEntry kOptionals[] = {
    {Setting::BlockTop, &ShopSettings::blockTop, "blockTop", "from the blade", false},
    {Setting::RoughReach, &ShopSettings::roughReach, "roughReach", "not checked", true},
    {Setting::FinReach, &ShopSettings::finReach, "finReach", "not checked", true},
    {Setting::ZTravel, &ShopSettings::zTravel, "zTravel", "not checked", true},
    {Setting::RoughStickout, &ShopSettings::roughStickout, "roughStickout", "not checked", true},
    {Setting::FinStickout, &ShopSettings::finStickout, "finStickout", "not checked", true},
};

}  // namespace

ShopSettingsDialog::ShopSettingsDialog(const ShopSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
  setWindowTitle(QStringLiteral("Shop job settings"));
  roughShape_ = shapeBox(settings.roughShape, this);
  roughShape_->setObjectName(QStringLiteral("roughShape"));
  finShape_ = shapeBox(settings.finShape, this);
  finShape_->setObjectName(QStringLiteral("finShape"));
  problem_ = new QLabel(this);
  problem_->setObjectName(QStringLiteral("problem"));
  problem_->setTextFormat(Qt::PlainText);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Roughing tool shape"), roughShape_);
  form->addRow(QStringLiteral("Finishing tool shape"), finShape_);
  const auto label = [](Setting setting) { return QString::fromUtf8(settingLabel(setting).data()); };
  for (const NumberEntry& entry : kNumbers) {
    QLineEdit* field = numberField(entry.name, numberText(settings.*entry.member), this);
    fields_.emplace_back(entry.setting, field);
    form->addRow(label(entry.setting), field);
  }
  for (const OptionalEntry& entry : kOptionals) {
    const auto& value = settings.*entry.member;
    QLineEdit* field = numberField(entry.name, value ? numberText(*value) : QString(), this);
    field->setPlaceholderText(QString::fromLatin1(entry.empty));
    fields_.emplace_back(entry.setting, field);
    form->addRow(label(entry.setting), field);
  }
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &ShopSettingsDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &ShopSettingsDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(problem_);
  layout->addWidget(buttons);
}

QLineEdit* ShopSettingsDialog::fieldOf(Setting setting) const {
  for (const auto& [s, field] : fields_) {
    if (s == setting) return field;
  }
  return nullptr;
}

std::optional<ShopSettings> ShopSettingsDialog::read() {
  ShopSettings result;
  result.roughShape = shapeOf(roughShape_);
  result.finShape = shapeOf(finShape_);
  for (const NumberEntry& entry : kNumbers) {
    QLineEdit* field = fieldOf(entry.setting);
    const auto value = readNumber(field, true);
    if (!value) {
      problem_->setText(QString::fromLatin1(entry.what) + QStringLiteral(" must be a positive number."));
      field->setFocus();
      return std::nullopt;
    }
    result.*entry.member = *value;
  }
  for (const OptionalEntry& entry : kOptionals) {
    QLineEdit* field = fieldOf(entry.setting);
    if (field->text().trimmed().isEmpty()) continue;
    result.*entry.member = readNumber(field, entry.positive);
    if (!(result.*entry.member)) {
      problem_->setText(QString::fromUtf8(quotedSettingLabel(entry.setting).c_str()) +
                        QStringLiteral(" must be a number, or empty: ") + QString::fromLatin1(entry.empty) +
                        QStringLiteral("."));
      field->setFocus();
      return std::nullopt;
    }
  }
  if (const auto problem = settingProblem(result)) {
    problem_->setText(QString::fromUtf8(problem->what()));
    if (QLineEdit* field = fieldOf(problem->setting())) field->setFocus();
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
