// File dialogs answered by the test from a list, each question recorded.
#pragma once

#include <QStringList>

#include "ui/file_dialogs.h"

class ScriptedDialogs : public ventaro::FileDialogs {
 public:
  QString openFile(QWidget*, const QString& title, const QString&, const QString&) override { return answer(title); }
  QString saveFile(QWidget*, const QString& title, const QString& suggested, const QString& filter) override {
    suggestions << suggested;
    filters << filter;
    return answer(title);
  }

  QStringList answers;      // the next paths chosen; an empty one cancels
  QStringList titles;       // the dialogs shown
  QStringList suggestions;  // the paths save dialogs started with
  QStringList filters;

 private:
  QString answer(const QString& title) {
    titles << title;
    return answers.isEmpty() ? QString() : answers.takeFirst();
  }
};
