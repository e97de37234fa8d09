#include "output/output_file.h"

#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

#include "core/workbook_error.h"

namespace output {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit for a path

[[noreturn]] void refuse(const QString& target, const std::string& why) {
  throw core::WorkbookError("Could not write the workbook \"" + target.toStdString() + "\": " + why);
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

unsigned currentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

// A file size limit (ulimit -f) would kill the process in the middle of a write and leave the
// temporary behind; ignored, the write fails with EFBIG and is cleaned up like any failure.
void failWritesPastTheSizeLimit() {
  static std::once_flag once;
  std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

struct Target {
  std::string path;  // links resolved
  bool exists = false;
  struct stat status {};
};

Target inspect(const QString& target) {
  if (target.isEmpty()) refuse(target, "no file name was given.");
  if (target.endsWith(QLatin1Char('/'))) refuse(target, "the name ends in \"/\", so it names a folder, not a file.");
  Target t{resolvedOutputPath(target)};
  if (::stat(t.path.c_str(), &t.status) == 0) {
    t.exists = true;
    if (S_ISDIR(t.status.st_mode)) refuse(target, "it is a folder.");
    if (!S_ISREG(t.status.st_mode)) refuse(target, "it is not a regular file (a device, pipe or socket).");
    // Read-only by its mode or to us: the user meant to keep it (even root does not replace it).
    if ((t.status.st_mode & 0222) == 0 || ::access(t.path.c_str(), W_OK) != 0)
      refuse(target, "the file is read-only, so it was left as it is.");
  } else if (errno != ENOENT) {
    refuse(target, std::strerror(errno) + std::string("."));
  }
  const std::string folder = folderOf(t.path);
  struct stat folderStatus {};
  if (::stat(folder.c_str(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
    refuse(target, "the folder \"" + folder + "\" does not exist.");
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    refuse(target, "the folder \"" + folder + "\" is not writable (" + std::strerror(errno) + ").");
  return t;
}

}  // namespace

std::string resolvedOutputPath(const QString& target) {
  std::string path = QFileInfo(target).absoluteFilePath().toStdString();
  for (int links = 0; links < kMaxLinks; ++links) {
    char buffer[4096];
    const ssize_t length = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (length < 0) return path;  // no link (or nothing there): this is the file
    std::string next(buffer, static_cast<std::size_t>(length));
    path = next.starts_with('/') ? next : folderOf(path) + "/" + next;
  }
  refuse(target, "it is a chain of more than 40 symbolic links.");
}

void checkOutputTarget(const QString& target) { inspect(target); }

OutputFile::OutputFile(const QString& target) : target_(target) {
  failWritesPastTheSizeLimit();
  const Target t = inspect(target);
  final_ = t.path;
  mode_ = t.exists ? (t.status.st_mode & 07777) : (0666 & ~currentUmask());
  std::string pattern = folderOf(final_) + "/." + nameOf(final_) + ".XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) refuse(target, "the folder is not writable (" + std::string(std::strerror(errno)) + ").");
  ::close(fd);
  temporary_ = pattern;
}

OutputFile::~OutputFile() {
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void OutputFile::fail(const std::string& why) const { refuse(target_, why); }

void OutputFile::commit() {
  const int fd = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail(std::strerror(errno) + std::string("."));
  const bool synced = ::fsync(fd) == 0;
  const int syncError = errno;
  const bool moded = ::fchmod(fd, mode_) == 0;
  ::close(fd);
  if (!synced) fail("it could not be written to disk (" + std::string(std::strerror(syncError)) + ").");
  if (!moded) fail("its permissions could not be set.");
  if (::rename(temporary_.c_str(), final_.c_str()) != 0)
    fail("the finished file could not be moved into place (" + std::string(std::strerror(errno)) + ").");
  committed_ = true;
  // The rename itself lasts only once the folder is on disk too.
  const int folder = ::open(folderOf(final_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace output
