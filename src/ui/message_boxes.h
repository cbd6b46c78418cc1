// The window's modal message boxes behind one small interface, so that a
// test can answer them without a modal loop blocking it.
#pragma once

#include <QString>

class QWidget;

namespace ventaro {

// Every box of the window has the application name in its title bar and an
// OK button only. A notice (the saved-file confirmation) has no icon; an
// error shows the error icon.
enum class MessageKind { Notice, Error };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns when the user has dismissed it.
  virtual void show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) = 0;
};

// The real boxes: QMessageBox, modal to the window.
class QtMessageBoxes : public MessageBoxes {
 public:
  void show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) override;
};

}  // namespace ventaro
