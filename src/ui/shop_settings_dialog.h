// The shop job's settings in a small dialog of the Machine menu: the tools'
// shapes, flutes, chip loads and flute lengths, the spindle speeds, the
// plunge feed, the block top, the clearance, the tolerance, the scallop
// height and the machine's Z travel. The tool diameters, depths, stepovers
// and feeds are the window's own fields.
#pragma once

#include <QDialog>
#include <optional>
#include <utility>
#include <vector>

#include "machine/machine_limits.h"
#include "machine/shop_settings.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace ventaro {

class ShopSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ShopSettingsDialog(const ShopSettings& settings, QWidget* parent = nullptr);

  // The settings as the dialog holds them; set once "OK" is accepted.
  const ShopSettings& settings() const { return settings_; }

  // Reads the fields; on a text that is not a fitting number names it in
  // the dialog's problem line and keeps the dialog open.
  void accept() override;

 private:
  std::optional<ShopSettings> read();
  QLineEdit* fieldOf(Setting setting) const;

  ShopSettings settings_;
  QComboBox* roughShape_;
  QComboBox* finShape_;
  // A field for every setting that is a number, named by it.
  std::vector<std::pair<Setting, QLineEdit*>> fields_;
  QLabel* problem_;
};

}  // namespace ventaro
