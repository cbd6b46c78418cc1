#include "files/output_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>

namespace ventaro {

namespace {

constexpr const char* kWriteProtected = "File is write-protected";

// ---- Signals ---------------------------------------------------------------

// The names of the files staged so far, read by the signal handler: each
// slot points into a string that outlives the commit, and is cleared once
// its file is renamed or removed.
std::atomic<std::atomic<const char*>*> gStaged{nullptr};
std::atomic<std::size_t> gStagedCount{0};

extern "C" void removeStagedAndEnd(int signal) {
  std::atomic<const char*>* slots = gStaged.load();
  const std::size_t count = gStagedCount.load();
  for (std::size_t i = 0; slots != nullptr && i < count; ++i) {
    if (const char* name = slots[i].load()) ::unlink(name);
  }
  // The signal is held until the handler returns, and then ends the
  // process as it would have without the handler.
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

// The signals that end the process while it writes, after the staged files
// are removed: an interrupt, a termination and a closed terminal.
constexpr int kEnding[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kEndingCount = static_cast<int>(std::size(kEnding));

void addEnding(sigset_t& set) {
  for (int signal : kEnding) sigaddset(&set, signal);
}

// While it lives: a file size limit makes write() fail with EFBIG and a
// closed pipe makes it fail with EPIPE, instead of ending the process, and,
// where they would end the process anyway, the ending signals first remove
// the staged files.
class WriteSignals {
 public:
  explicit WriteSignals(bool removeStaged) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &oldSize_);
    ::sigaction(SIGPIPE, &ignore, &oldPipe_);
    if (!removeStaged) return;
    struct sigaction cleanup {};
    cleanup.sa_handler = removeStagedAndEnd;
    sigemptyset(&cleanup.sa_mask);
    addEnding(cleanup.sa_mask);
    for (int i = 0; i < kEndingCount; ++i) {
      ::sigaction(kEnding[i], nullptr, &oldEnding_[i]);
      // An ignored signal does not end the run, and a handler of the
      // program's own is left to do its work.
      installed_[i] = oldEnding_[i].sa_handler == SIG_DFL && ::sigaction(kEnding[i], &cleanup, nullptr) == 0;
    }
  }
  ~WriteSignals() {
    for (int i = 0; i < kEndingCount; ++i) {
      if (installed_[i]) ::sigaction(kEnding[i], &oldEnding_[i], nullptr);
    }
    ::sigaction(SIGPIPE, &oldPipe_, nullptr);
    ::sigaction(SIGXFSZ, &oldSize_, nullptr);
  }
  WriteSignals(const WriteSignals&) = delete;
  WriteSignals& operator=(const WriteSignals&) = delete;

 private:
  struct sigaction oldSize_ {};
  struct sigaction oldPipe_ {};
  struct sigaction oldEnding_[kEndingCount] {};
  bool installed_[kEndingCount] = {};
};

// Holds the ending signals while it lives, so that a file is never created
// or renamed without the handler knowing of it.
class EndingHeld {
 public:
  EndingHeld() {
    sigset_t ending;
    sigemptyset(&ending);
    addEnding(ending);
    ::pthread_sigmask(SIG_BLOCK, &ending, &old_);
  }
  ~EndingHeld() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
  EndingHeld(const EndingHeld&) = delete;
  EndingHeld& operator=(const EndingHeld&) = delete;

 private:
  sigset_t old_{};
};

// ---- Paths -----------------------------------------------------------------

// One output on its way to disk.
struct Target {
  std::string path;  // as given, for messages
  FileBytes bytes;
  std::string file;      // the file to replace or create, links followed
  std::string identity;  // equal for two outputs that name one file
  bool exists = false;
  bool direct = false;  // a device, pipe or socket: written in place
  struct stat info {};  // of the existing file
  std::string refusal;  // why it cannot be written; empty when it can
  std::string staged;   // the hidden file beside `file`, while it exists
};

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows the links of a path whose file does not exist yet, so that a
// dangling link gets the file it points to rather than being replaced.
std::string followDanglingLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) break;
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) break;
    const std::string to(buffer, static_cast<std::size_t>(n));
    path = to.front() == '/' ? to : folderOf(path) + to;
  }
  return path;
}

// The absolute path of a file that does not exist yet, with the links of
// its folder resolved where the folder exists.
std::string newFileIdentity(const std::string& file) {
  const std::string folder = folderOf(file).empty() ? "." : folderOf(file);
  if (char* real = ::realpath(folder.c_str(), nullptr)) {
    std::string identity = real;
    std::free(real);
    return identity + "/" + nameOf(file);
  }
  std::error_code ignored;
  return std::filesystem::absolute(file, ignored).lexically_normal().string();
}

// May this existing file be replaced? Opening it for writing without
// truncating it asks the system (immutable files, access lists) and
// changes nothing; O_NONBLOCK keeps a pipe from hanging the run.
std::string existingFileRefusal(const Target& target) {
  if (S_ISDIR(target.info.st_mode)) return std::strerror(EISDIR);
  // Root may write any file; the owner's write bit is the user's own
  // statement that this one is not to be overwritten.
  if ((target.info.st_mode & S_IWUSR) == 0) return kWriteProtected;
  if (target.direct) return {};
  const int fd = ::open(target.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  ::close(fd);
  return {};
}

void resolve(Target& target) {
  if (target.path.empty()) {
    target.refusal = std::strerror(ENOENT);
    target.identity = "/";
    return;
  }
  if (::stat(target.path.c_str(), &target.info) == 0) {
    target.exists = true;
    target.direct = !S_ISREG(target.info.st_mode) && !S_ISDIR(target.info.st_mode);
    target.file = target.path;
    if (char* real = S_ISREG(target.info.st_mode) ? ::realpath(target.path.c_str(), nullptr) : nullptr) {
      target.file = real;
      std::free(real);
    }
    target.identity = "#" + std::to_string(target.info.st_dev) + ":" + std::to_string(target.info.st_ino);
    target.refusal = existingFileRefusal(target);
    return;
  }
  if (errno != ENOENT) target.refusal = std::strerror(errno);  // e.g. a path under a regular file
  target.file = followDanglingLinks(target.path);
  target.identity = newFileIdentity(target.file);
}

OutputError writeError(const Target& target, std::string reason) {
  std::string text = "cannot write \"";
  text += target.path;
  text += "\": ";
  text += reason;
  return {OutputError::Kind::Write, std::move(reason), std::move(text)};
}

std::optional<OutputError> sameFileError(const std::vector<Target>& targets) {
  std::map<std::string, const Target*> seen;
  for (const Target& target : targets) {
    const auto [it, added] = seen.emplace(target.identity, &target);
    if (added) continue;
    std::string text = "two outputs name the same file: \"";
    text += it->second->path;
    text += "\" and \"";
    text += target.path;
    text += "\"";
    return OutputError{OutputError::Kind::SameFile, text, text};
  }
  return std::nullopt;
}

// ---- Writing ---------------------------------------------------------------

// Writes all of `bytes` to `fd`; returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;  // a write that makes no progress would loop for ever
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

// The mode a new file gets from open(): 0666 less the process's umask.
mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// The staged file takes the owner, group and mode of the file it replaces.
// Giving a file away needs privilege: without it the owner is the user's.
// The owner goes first, since a change of owner clears set-user-ID bits.
int takeOwnerAndMode(int fd, const Target& target) {
  if (!target.exists) return ::fchmod(fd, newFileMode()) == 0 ? 0 : errno;
  if (::fchown(fd, target.info.st_uid, target.info.st_gid) != 0 && errno != EPERM) return errno;
  return ::fchmod(fd, target.info.st_mode & 07777) == 0 ? 0 : errno;
}

int stage(Target& target, std::atomic<const char*>& slot) {
  // The hidden name must stay within the length a name may have.
  std::string name = folderOf(target.file) + "." + nameOf(target.file).substr(0, 64) + ".XXXXXX";
  int fd = -1;
  {
    EndingHeld held;
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    target.staged = std::move(name);
    slot.store(target.staged.c_str());
  }
  int error = takeOwnerAndMode(fd, target);
  if (error == 0) error = writeAll(fd, target.bytes.view());
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

int writeInPlace(const Target& target) {
  const int fd = ::open(target.path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno;
  int error = writeAll(fd, target.bytes.view());
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

// Makes a rename durable; a folder that cannot be synced (some file systems
// refuse) does not make the written file any less complete.
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

void removeStaged(std::vector<Target>& targets, std::atomic<const char*>* slots) {
  EndingHeld held;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (targets[i].staged.empty()) continue;
    ::unlink(targets[i].staged.c_str());
    slots[i].store(nullptr);
    targets[i].staged.clear();
  }
}

// Whether a target may still be replaced now that every file is staged: a
// run can wait long on a pipe, and its other targets may change meanwhile.
std::string refusalNow(const Target& target) {
  struct stat now {};
  if (::stat(target.file.c_str(), &now) != 0) return {};
  if (S_ISDIR(now.st_mode)) return std::strerror(EISDIR);
  if ((now.st_mode & S_IWUSR) == 0) return kWriteProtected;
  return {};
}

// Replaces the targets by their staged files, all or none: each file that
// is replaced is first kept under a second name (a hard link beside it),
// and where a rename fails, the files renamed before it are put back. A
// file system without hard links keeps no second name, and a target there
// cannot be put back. Returns the failure.
std::optional<OutputError> renameAll(std::vector<Target>& targets, std::atomic<const char*>* slots) {
  EndingHeld held;
  std::vector<std::string> kept(targets.size());
  std::vector<char> created(targets.size(), 0);
  std::optional<OutputError> failure;
  std::size_t renamed = 0;
  for (; renamed < targets.size(); ++renamed) {
    Target& target = targets[renamed];
    if (target.direct) continue;
    const std::string old = target.staged + "~";
    if (::link(target.file.c_str(), old.c_str()) == 0) {
      kept[renamed] = old;
    } else {
      created[renamed] = errno == ENOENT;
    }
    if (::rename(target.staged.c_str(), target.file.c_str()) != 0) {
      failure = writeError(target, std::strerror(errno));
      break;
    }
    slots[renamed].store(nullptr);
    target.staged.clear();
  }
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (failure && i < renamed && !targets[i].direct) {
      // Put back what this run replaced, or remove what it created.
      if (!kept[i].empty()) {
        ::rename(kept[i].c_str(), targets[i].file.c_str());
      } else if (created[i] != 0) {
        ::unlink(targets[i].file.c_str());
      }
    }
    if (!kept[i].empty()) ::unlink(kept[i].c_str());
  }
  return failure;
}

// Stages every file, writes the direct targets, then renames; returns the
// failure, with the staged files still in place for the caller to remove.
std::optional<OutputError> writeAllTargets(std::vector<Target>& targets, std::atomic<const char*>* slots) {
  for (std::size_t i = 0; i < targets.size(); ++i) {
    if (targets[i].direct) continue;
    if (const int error = stage(targets[i], slots[i]); error != 0) return writeError(targets[i], std::strerror(error));
  }
  for (const Target& target : targets) {
    if (!target.direct) continue;
    if (const int error = writeInPlace(target); error != 0) return writeError(target, std::strerror(error));
  }
  for (const Target& target : targets) {
    if (target.direct) continue;
    if (std::string refusal = refusalNow(target); !refusal.empty()) return writeError(target, std::move(refusal));
  }
  if (auto failure = renameAll(targets, slots)) return failure;
  for (const Target& target : targets) {
    if (!target.direct) syncFolder(folderOf(target.file));
  }
  return std::nullopt;
}

}  // namespace

void OutputFiles::add(std::string path, FileBytes bytes) { outputs_.emplace_back(std::move(path), std::move(bytes)); }

std::optional<OutputError> OutputFiles::commit() {
  std::vector<Target> targets(outputs_.size());
  for (std::size_t i = 0; i < targets.size(); ++i) {
    targets[i].path = std::move(outputs_[i].first);
    targets[i].bytes = std::move(outputs_[i].second);
    resolve(targets[i]);
  }
  outputs_.clear();
  if (auto error = sameFileError(targets)) return error;
  for (const Target& target : targets) {
    if (!target.refusal.empty()) return writeError(target, target.refusal);
  }

  auto slots = std::make_unique<std::atomic<const char*>[]>(targets.size());
  gStaged.store(slots.get());
  gStagedCount.store(targets.size());
  std::optional<OutputError> failure;
  {
    WriteSignals signals(true);
    failure = writeAllTargets(targets, slots.get());
    removeStaged(targets, slots.get());
  }
  gStagedCount.store(0);
  gStaged.store(nullptr);
  return failure;
}

bool sameExistingFile(const std::string& a, const std::string& b) {
  struct stat first {
  }, second{};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

std::optional<std::string> writeStandardOutput(std::string_view bytes) {
  // Written with write(2) rather than through a stream buffer, so that
  // every failure is seen here and none is left to a flush at exit.
  WriteSignals signals(false);
  if (const int error = writeAll(STDOUT_FILENO, bytes); error != 0) {
    std::string text = "cannot write to standard output: ";
    text += std::strerror(error);
    return text;
  }
  return std::nullopt;
}

}  // namespace ventaro
