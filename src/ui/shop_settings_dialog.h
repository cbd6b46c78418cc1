// The shop job's settings in a small dialog of the Machine menu: the tools'
// shapes, the spindle speeds, the plunge feed, the block top, the clearance
// and the tolerance. The tool diameters, depths, stepovers and feeds are
// the window's own fields.
#pragma once

#include <QDialog>
#include <optional>

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

  ShopSettings settings_;
  QComboBox* roughShape_;
  QComboBox* finShape_;
  QLineEdit* roughRpm_;
  QLineEdit* finRpm_;
  QLineEdit* plungeFeed_;
  QLineEdit* blockTop_;
  QLineEdit* clearance_;
  QLineEdit* tolerance_;
  QLineEdit* scallop_;
  QLabel* problem_;
};

}  // namespace ventaro
