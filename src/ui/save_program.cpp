#include "ui/save_program.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

#include "gcode/program_bytes.h"

namespace ventaro {

namespace {

bool endsWithSeparator(const QString& path) {
  return path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator());
}

// A replacing save renames a new file over the old one, which the folder's
// permissions allow even where the file itself is read-only or immutable.
// Opening the existing file for writing, without truncating it, asks the
// system the question that matters: may this file be overwritten? It
// changes nothing in the file. O_NONBLOCK keeps a named pipe from hanging
// the window.
QString existingFileRefusal(const QString& fullPath) {
  const QByteArray native = QFile::encodeName(fullPath);
  const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    return {};
  }
  const int error = errno;
  if (error == ENOENT) return {};  // a new file: the folder decides
  return QString::fromLocal8Bit(std::strerror(error));
}

}  // namespace

SaveOutcome saveProgram(const QString& fullPath, const std::string& program) {
  if (fullPath.isEmpty()) return {false, QStringLiteral("No folder and no file name are given.")};
  if (endsWithSeparator(fullPath) || QFileInfo(fullPath).isDir())
    return {false, QStringLiteral("The path names a folder, not a file: the file name is missing.")};
  if (QString refusal = existingFileRefusal(fullPath); !refusal.isEmpty()) return {false, refusal};

  const std::string bytes = programFileBytes(program);
  QSaveFile file(fullPath);
  if (!file.open(QIODevice::WriteOnly)) return {false, file.errorString()};
  const auto size = static_cast<qint64>(bytes.size());
  // Written and flushed here, so that a full disk or a file size limit is
  // seen with the system's own reason while errno still holds it.
  errno = 0;
  if (file.write(bytes.data(), size) != size || !file.flush()) {
    const int error = errno;
    QString reason = file.errorString();
    if (error != 0 && (reason.isEmpty() || reason == QLatin1String("Unknown error")))
      reason = QString::fromLocal8Bit(std::strerror(error));
    file.cancelWriting();
    return {false, reason};
  }
  // Flushes, syncs and renames; on a failure the temporary file is removed.
  if (!file.commit()) return {false, file.errorString()};
  return {true, {}};
}

QString savedMessage(const QString& fullPath) { return QStringLiteral("Gcode has been saved to ") + fullPath; }

QString notSavedMessage(const QString& fullPath, const QString& reason) {
  return QStringLiteral("Gcode could not be saved to ") + fullPath + QStringLiteral("\n\n") + reason;
}

}  // namespace ventaro
