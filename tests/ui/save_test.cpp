// Saving faults: each must name the path, leave no partly written file and
// keep an existing file byte for byte. Running as root (as CI does), the
// permission bits stop nothing but the write-protection rule, so the other
// read-only cases drop the file-system uid to an unprivileged one around
// the save and first prove that the system really refuses the write.
#include <fcntl.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <optional>
#include <string>

#include "gcode/program_bytes.h"
#include "ui/save_program.h"

namespace {

constexpr uid_t kNobody = 65534;

const std::string kProgram = "( Blade Diameter = 3.36m )\r\n( Angle of Attack = 5\u00b0 )\r\nG1 X200 Y0 Z1";
const QByteArray kOld = "old program, byte for byte\r\n";

QByteArray readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<cannot read>";
  return file.readAll();
}

bool writeFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QStringList entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

// Acts as an unprivileged user for file access while it lives, when root.
class Unprivileged {
 public:
  Unprivileged() {
    if (geteuid() != 0) return;
    previous_ = static_cast<uid_t>(setfsuid(kNobody));
    switched_ = true;
  }
  ~Unprivileged() {
    if (switched_) setfsuid(previous_);
  }
  Unprivileged(const Unprivileged&) = delete;
  Unprivileged& operator=(const Unprivileged&) = delete;

 private:
  uid_t previous_ = 0;
  bool switched_ = false;
};

bool systemRefuses(const QString& path, int flags) {
  const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC, 0644);
  if (fd < 0) return true;
  ::close(fd);
  if (flags & O_CREAT) ::unlink(QFile::encodeName(path).constData());
  return false;
}

}  // namespace

class SaveTest : public QObject {
  Q_OBJECT

 private slots:
  void writesTheProgramBytesOverALongerFile() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/blade.nc";
    QVERIFY(writeFile(path, QByteArray(100000, 'x')));
    const ventaro::SaveOutcome outcome = ventaro::saveProgram(path, kProgram);
    QVERIFY(outcome.saved);
    QCOMPARE(readAll(path),
             QByteArray("( Blade Diameter = 3.36m )\r\n( Angle of Attack = 5\xb0 )\r\nG1 X200 Y0 Z1\r\n"));
    QCOMPARE(readAll(path), QByteArray::fromStdString(ventaro::programFileBytes(kProgram)));
    QCOMPARE(entries(dir.path()), QStringList{"blade.nc"});
  }

  void aNewFileIsReadableByOthers() {
    // A controller's sender often runs under another account.
    QTemporaryDir dir;
    const QString path = dir.path() + "/new.nc";
    const mode_t mask = umask(022);
    const bool saved = ventaro::saveProgram(path, kProgram).saved;
    umask(mask);
    QVERIFY(saved);
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0644u);
  }

  void messagesNameThePath() {
    QCOMPARE(ventaro::savedMessage("/home/ann/blade.nc"), QString("Gcode has been saved to /home/ann/blade.nc"));
    QCOMPARE(ventaro::notSavedMessage("/home/ann/blade.nc", "Permission denied"),
             QString("Gcode could not be saved to /home/ann/blade.nc\n\nPermission denied"));
  }

  void refusedTargetFile_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("asOtherUser");
    QTest::addColumn<QString>("reason");
    // No write bit for its owner: refused for every user, root included.
    QTest::newRow("write-protected") << 0444 << false << QString("File is write-protected");
    // Writable by its owner only: the system refuses anyone else, although
    // the folder would let them replace it.
    if (geteuid() == 0) QTest::newRow("another user's") << 0644 << true << QString("Permission denied");
  }

  void refusedTargetFile() {
    QFETCH(int, mode);
    QFETCH(bool, asOtherUser);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));  // anyone may create here
    const QString path = dir.path() + "/blade.nc";
    QVERIFY(writeFile(path, kOld));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(mode)), 0);
    ventaro::SaveOutcome outcome;
    {
      std::optional<Unprivileged> user;
      if (asOtherUser) user.emplace();
      QVERIFY2(!asOtherUser || systemRefuses(path, O_WRONLY), "the file must really be read-only for this test");
      QVERIFY2(!systemRefuses(dir.path() + "/probe", O_WRONLY | O_CREAT), "the folder must be writable");
      outcome = ventaro::saveProgram(path, kProgram);
    }
    QVERIFY(!outcome.saved);
    QCOMPARE(outcome.reason, reason);
    QCOMPARE(readAll(path), kOld);
    struct stat info {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &info), 0);
    QCOMPARE(info.st_mode & 07777, static_cast<mode_t>(mode));
    QCOMPARE(entries(dir.path()), QStringList{"blade.nc"});
  }

  void readOnlyFolder() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/blade.nc";
    QVERIFY(writeFile(path, kOld));
    QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x6666)));  // the file itself is writable
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x5555)));
    ventaro::SaveOutcome replacing, creating;
    {
      Unprivileged user;
      QVERIFY2(systemRefuses(dir.path() + "/probe", O_WRONLY | O_CREAT), "the folder must really be read-only");
      replacing = ventaro::saveProgram(path, kProgram);
      creating = ventaro::saveProgram(dir.path() + "/new.nc", kProgram);
    }
    QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7700)));
    QVERIFY(!replacing.saved);
    QVERIFY(!replacing.reason.isEmpty());
    QVERIFY(!creating.saved);
    QCOMPARE(readAll(path), kOld);
    QCOMPARE(entries(dir.path()), QStringList{"blade.nc"});
  }

  void missingFolder() {
    QTemporaryDir dir;
    const ventaro::SaveOutcome outcome = ventaro::saveProgram(dir.path() + "/missing/blade.nc", kProgram);
    QVERIFY(!outcome.saved);
    QVERIFY(!outcome.reason.isEmpty());
    QVERIFY(entries(dir.path()).isEmpty());
  }

  void noFileName() {
    QTemporaryDir dir;
    const QString folder = QStringLiteral("The path names a folder, not a file: the file name is missing.");
    QCOMPARE(ventaro::saveProgram(dir.path() + "/", kProgram).reason, folder);
    QCOMPARE(ventaro::saveProgram(dir.path(), kProgram).reason, folder);
    QCOMPARE(ventaro::saveProgram(dir.path() + "/missing/", kProgram).reason, folder);
    QCOMPARE(ventaro::saveProgram("", kProgram).reason, QString("No folder and no file name are given."));
    QVERIFY(!ventaro::saveProgram("", kProgram).saved);
    QVERIFY(entries(dir.path()).isEmpty());
  }

  void fileSizeLimitReachedWhileWriting() {
    QTemporaryDir dir;
    const QString path = dir.path() + "/blade.nc";
    QVERIFY(writeFile(path, kOld));
    const std::string program(200000, 'G');  // far beyond the limit below

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool bites = !writeFile(dir.path() + "/probe", QByteArray(8192, 'x'));
    QFile::remove(dir.path() + "/probe");
    // The save itself meets the signal's default action, which would end
    // the window without a word.
    std::signal(SIGXFSZ, SIG_DFL);
    const ventaro::SaveOutcome outcome = ventaro::saveProgram(path, program);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY2(bites, "the file size limit must really stop a write");
    QVERIFY(!outcome.saved);
    QCOMPARE(outcome.reason, QString("File too large"));
    QCOMPARE(readAll(path), kOld);
    QCOMPARE(entries(dir.path()), QStringList{"blade.nc"});
  }
};

QTEST_GUILESS_MAIN(SaveTest)
#include "save_test.moc"
