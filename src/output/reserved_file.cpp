#include "output/reserved_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "output/output_file.h"
#include "output/temporaries.h"

namespace output {
namespace {

bool isStillEmpty(const std::string& path, dev_t device, ino_t inode) {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0 &&
         status.st_dev == device && status.st_ino == inode;
}

}  // namespace

std::unique_ptr<ReservedFile> ReservedFile::claim(const std::string& path, const std::string& what) {
  // O_EXCL is the claim itself: it fails on any name already there, a dangling link included.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return nullptr;
    const std::string why = std::string("it could not be created (") + std::strerror(errno) + ").";
    throw OutputError("Could not write " + what + " \"" + path + "\": " + why, why);
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    const std::string why = std::string("it could not be looked at (") + std::strerror(errno) + ").";
    ::unlink(path.c_str());
    ::close(fd);
    throw OutputError("Could not write " + what + " \"" + path + "\": " + why, why);
  }
  return std::unique_ptr<ReservedFile>(new ReservedFile(path, fd, status.st_dev, status.st_ino));
}

// Registered at once, so that no moment leaves the empty file unlisted for a signal.
ReservedFile::ReservedFile(std::string path, int fd, dev_t device, ino_t inode)
    : path_(std::move(path)),
      fd_(fd),
      device_(device),
      inode_(inode),
      registration_(std::make_unique<TemporaryRegistration>(path_, FileIdentity{device, inode})) {}

// Removed before it leaves the signal's table, so that no moment leaves it behind; out of the
// table before its inode is let go.
ReservedFile::~ReservedFile() {
  if (isStillEmpty(path_, device_, inode_)) ::unlink(path_.c_str());
  registration_.reset();
  ::close(fd_);
}

}  // namespace output
