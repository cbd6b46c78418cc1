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
  // Records the question as a notice and gives the next answer queued, or
  // Cancel when none is.
  ventaro::StaleAnswer askStale(QWidget*, const QString& title, const QString& text,
                                const QString& useEarlier) override {
    asked.append({ventaro::MessageKind::Notice, title, text + " / " + useEarlier});
    return answers.isEmpty() ? ventaro::StaleAnswer::Cancel : answers.takeFirst();
  }
  QList<ShownBox> shown;
  QList<ShownBox> asked;
  QList<ventaro::StaleAnswer> answers;
};
