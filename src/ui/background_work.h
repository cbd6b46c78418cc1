// Long work off the window's thread: laying out a shop job or checking a
// program takes seconds, and the window must go on painting meanwhile and
// let the user stop it.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>

#include "toolpath/work_monitor.h"

namespace ventaro {

// The object name of the progress dialog, for tests.
inline constexpr const char* kWorkDialogName = "workProgress";

// Runs `work` on a thread of its own while a progress dialog with a Cancel
// button stands over `parent` (window-modal: the fields cannot change under
// the work). Returns false when the user cancelled: whatever the work made
// must then be dropped. Rethrows on this thread what the work raised.
bool runInBackground(QWidget* parent, const QString& label, const std::function<void(WorkMonitor&)>& work);

}  // namespace ventaro
