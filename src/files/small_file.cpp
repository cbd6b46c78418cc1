#include "files/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace ventaro {

namespace {

std::string systemProblem(int error) { return std::string("the file cannot be opened: ") + std::strerror(error); }

}  // namespace

std::string readSmallFile(const std::string& path, std::size_t limit, std::string_view tooLarge) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) throw SmallFileError(systemProblem(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0) throw SmallFileError(systemProblem(errno));
  if (S_ISDIR(info.st_mode)) throw SmallFileError(systemProblem(EISDIR));
  if (!S_ISREG(info.st_mode) && !S_ISFIFO(info.st_mode)) throw SmallFileError("it is not a regular file or a pipe");
  if (S_ISREG(info.st_mode) && static_cast<std::uintmax_t>(info.st_size) > limit) {
    throw SmallFileError(std::string(tooLarge));
  }
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw SmallFileError(std::string("the file cannot be read: ") + std::strerror(errno));
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > limit) throw SmallFileError(std::string(tooLarge));
  }
  return bytes;
}

}  // namespace ventaro
