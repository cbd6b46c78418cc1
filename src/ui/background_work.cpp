#include "ui/background_work.h"

#include "ui/main_window.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <thread>

namespace ventaro {

namespace {

// Carries the figure from the work's thread to the window's, and the
// Cancel the other way; the work stops at its next step.
class ThreadMonitor : public WorkMonitor {
 public:
  void advance(double done) override {
    done_.store(done, std::memory_order_relaxed);
    if (cancelled_.load(std::memory_order_relaxed)) throw WorkCancelled();
  }
  double done() const { return done_.load(std::memory_order_relaxed); }
  void cancel() { cancelled_.store(true); }
  bool cancelled() const { return cancelled_.load(); }

 private:
  std::atomic<double> done_{0};
  std::atomic<bool> cancelled_{false};
};

}  // namespace

bool runInBackground(QWidget* parent, const QString& label, const std::function<void(WorkMonitor&)>& work) {
  ThreadMonitor monitor;
  std::exception_ptr failure;
  std::atomic<bool> finished{false};

  constexpr int kSteps = 1000;
  QProgressDialog dialog(label, QStringLiteral("Cancel"), 0, kSteps, parent);
  dialog.setObjectName(QString::fromLatin1(kWorkDialogName));
  // In the fields' font, not the application's: text drawn on the screen in
  // the face the pictures use would leave its glyphs cached for the screen,
  // and a picture rendered to PNG afterwards would take them and differ in
  // its edges from the same picture rendered by the command line.
  dialog.setFont(dialogFont(8));
  dialog.setWindowModality(Qt::WindowModal);
  dialog.setAutoClose(false);
  dialog.setAutoReset(false);
  // Short work passes without a dialog flashing up.
  dialog.setMinimumDuration(300);

  QEventLoop loop;
  QTimer poll;
  poll.setInterval(40);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (finished.load()) {
      loop.quit();
      return;
    }
    // The Cancel button, Escape and closing the dialog all cancel it.
    if (dialog.wasCanceled()) {
      monitor.cancel();
      return;
    }
    dialog.setValue(static_cast<int>(monitor.done() * kSteps));
  });
  std::thread worker([&] {
    try {
      work(monitor);
    } catch (...) {
      failure = std::current_exception();
    }
    finished.store(true);
  });
  poll.start();
  loop.exec();
  worker.join();
  if (monitor.cancelled()) return false;
  if (failure) std::rethrow_exception(failure);
  return true;
}

}  // namespace ventaro
