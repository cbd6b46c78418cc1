// Message boxes answered at once by the test, each one recorded.
#pragma once

#include <QList>
#include <QString>

#include "ui/message_boxes.h"

struct ShownBox {
  ventaro::MessageKind kind;
  QString title;
  QString text;
};

class RecordingBoxes : public ventaro::MessageBoxes {
 public:
  void show(QWidget*, ventaro::MessageKind kind, const QString& title, const QString& text) override {
    shown.append({kind, title, text});
  }
  QList<ShownBox> shown;
};
