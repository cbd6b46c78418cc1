#include "cli/output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace ventaro::cli {

namespace {

std::string failure(const std::string& path, int error) {
  std::string text = "cannot write \"";
  text += path;
  text += "\": ";
  text += std::strerror(error);
  return text;
}

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

// A device, a pipe or a socket cannot be swapped for a temporary file.
std::optional<std::string> writeInPlace(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return failure(path, errno);
  int error = writeAll(fd, bytes);
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) return failure(path, error);
  return std::nullopt;
}

// The folder part of a path ("" for a bare name) and its last component.
void splitPath(const std::string& path, std::string& folder, std::string& name) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) {
    folder.clear();
    name = path;
  } else {
    folder = path.substr(0, slash + 1);
    name = path.substr(slash + 1);
  }
}

// Makes the rename durable; a folder that cannot be synced (some file
// systems refuse) does not make the written file any less complete.
void syncFolder(const std::string& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<std::string> writeFileAtomically(const std::string& path, std::string_view bytes) {
  std::string target = path;
  mode_t mode = newFileMode();

  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return failure(path, EISDIR);
    if (!S_ISREG(st.st_mode)) return writeInPlace(path, bytes);
    mode = st.st_mode & 07777;
    // Replace the file a link points to, not the link.
    struct stat link {};
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
      if (char* real = ::realpath(path.c_str(), nullptr)) {
        target = real;
        std::free(real);
      }
    }
  } else if (errno != ENOENT) {
    return failure(path, errno);  // e.g. a path under a regular file
  }

  std::string folder;
  std::string name;
  splitPath(target, folder, name);
  // The temporary name must stay within the length a name may have.
  std::string temp = folder + "." + name.substr(0, 64) + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return failure(path, errno);

  int error = 0;
  if (::fchmod(fd, mode) != 0) error = errno;
  if (error == 0) error = writeAll(fd, bytes);
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    return failure(path, error);
  }
  syncFolder(folder);
  return std::nullopt;
}

std::optional<std::string> writeStandardOutput(std::string_view bytes) {
  // Written with write(2) rather than through a stream buffer, so that
  // every failure is seen here and none is left to a flush at exit.
  if (const int error = writeAll(STDOUT_FILENO, bytes); error != 0) {
    std::string text = "cannot write to standard output: ";
    text += std::strerror(error);
    return text;
  }
  return std::nullopt;
}

}  // namespace ventaro::cli
