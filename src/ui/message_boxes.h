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

// The answers to "The fields changed since the last Compute.": compute
// now, go on with the program of the last Compute, or do nothing.
enum class StaleAnswer { ComputeNow, UseEarlier, Cancel };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows the box and returns when the user has dismissed it.
  virtual void show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) = 0;
  // Asks what to do with a program the fields no longer describe; `useEarlier`
  // is the second button's text ("Save the earlier program").
  virtual StaleAnswer askStale(QWidget* parent, const QString& title, const QString& text,
                               const QString& useEarlier) = 0;
};

// The real boxes: QMessageBox, modal to the window.
class QtMessageBoxes : public MessageBoxes {
 public:
  void show(QWidget* parent, MessageKind kind, const QString& title, const QString& text) override;
  StaleAnswer askStale(QWidget* parent, const QString& title, const QString& text, const QString& useEarlier) override;
};

}  // namespace ventaro
