#include "ui/save_program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/job_run.h"
#include "files/output_files.h"
#include "gcode/program_bytes.h"

namespace ventaro {

namespace {

bool endsWithSeparator(const QString& path) {
  return path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator());
}

}  // namespace

SaveOutcome saveProgram(const QString& fullPath, const std::string& program) {
  if (fullPath.isEmpty()) return {false, QStringLiteral("No folder and no file name are given.")};
  if (endsWithSeparator(fullPath) || QFileInfo(fullPath).isDir())
    return {false, QStringLiteral("The path names a folder, not a file: the file name is missing.")};

  // The same writer and rules as every file the command line writes.
  OutputFiles files;
  files.add(QFile::encodeName(fullPath).toStdString(), programFileBytes(program));
  if (auto error = files.commit()) return {false, QString::fromLocal8Bit(error->reason)};
  return {true, {}};
}

QStringList programPartPaths(const QString& fullPath, const std::vector<ProgramPart>& parts) {
  QStringList paths;
  for (const ProgramPart& part : parts) {
    paths << QFile::decodeName(
        QByteArray::fromStdString(programPartPath(QFile::encodeName(fullPath).toStdString(), part.suffix)));
  }
  return paths;
}

SaveOutcome saveProgramParts(const QString& fullPath, const std::vector<ProgramPart>& parts) {
  if (fullPath.isEmpty()) return {false, QStringLiteral("No folder and no file name are given.")};
  if (endsWithSeparator(fullPath) || QFileInfo(fullPath).isDir())
    return {false, QStringLiteral("The path names a folder, not a file: the file name is missing.")};
  OutputFiles files;
  const QStringList paths = programPartPaths(fullPath, parts);
  for (qsizetype k = 0; k < paths.size(); ++k) {
    files.add(QFile::encodeName(paths[k]).toStdString(), programFileBytes(parts[static_cast<std::size_t>(k)].text));
  }
  if (auto error = files.commit()) return {false, QString::fromLocal8Bit(error->reason)};
  return {true, {}};
}

QString savedMessage(const QString& fullPath) { return QStringLiteral("Gcode has been saved to ") + fullPath; }

QString notSavedMessage(const QString& fullPath, const QString& reason) {
  return QStringLiteral("Gcode could not be saved to ") + fullPath + QStringLiteral("\n\n") + reason;
}

}  // namespace ventaro
