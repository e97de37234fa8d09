#include "output/output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "output/system_calls.h"
#include "output/target_path.h"
#include "output/temporaries.h"

namespace output {
namespace {

constexpr int kNameAttempts = 100;

[[noreturn]] void refuse(const std::string& what, const QString& target, const std::string& why) {
  throw OutputError("Could not write " + what + " \"" + target.toStdString() + "\": " + why, why);
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

unsigned currentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

std::string randomName() {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  thread_local std::mt19937 generator{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  std::string name(6, ' ');
  for (char& c : name) c = kLetters[pick(generator)];
  return name;
}

struct Target {
  std::string path;  // links resolved
  bool exists = false;
  struct stat status {};
};

Target inspect(const QString& target, const std::string& what) {
  const ResolvedTarget resolved = resolveTarget(target.toStdString());
  if (!resolved.problem.empty()) refuse(what, target, resolved.problem);
  Target t{resolved.path};
  if (::stat(t.path.c_str(), &t.status) == 0) {
    t.exists = true;
    if (S_ISDIR(t.status.st_mode)) refuse(what, target, "it is a folder.");
    if (!S_ISREG(t.status.st_mode)) refuse(what, target, "it is not a regular file (a device, pipe or socket).");
    // Read-only by its mode or to us: the user meant to keep it (even root does not replace it).
    if ((t.status.st_mode & 0222) == 0 || ::access(t.path.c_str(), W_OK) != 0)
      refuse(what, target, "the file is read-only, so it was left as it is.");
  } else if (errno != ENOENT) {
    refuse(what, target, std::strerror(errno) + std::string("."));
  }
  const std::string folder = folderOf(t.path);
  struct stat folderStatus {};
  if (::stat(folder.c_str(), &folderStatus) != 0 || !S_ISDIR(folderStatus.st_mode))
    refuse(what, target, "the folder \"" + folder + "\" does not exist.");
  if (::access(folder.c_str(), W_OK | X_OK) != 0)
    refuse(what, target, "the folder \"" + folder + "\" is not writable (" + std::strerror(errno) + ").");
  return t;
}

}  // namespace

std::string writeFailureReason(int error) {
  switch (error) {
    case ENOSPC: return "the disk is full.";
    case EDQUOT: return "your disk quota is used up.";
    case EFBIG: return "the file would be larger than this program may write (the file size limit, ulimit -f).";
    default: return "it could not be written (" + std::string(std::strerror(error)) + ").";
  }
}

std::string resolvedOutputPath(const QString& target) {
  const ResolvedTarget resolved = resolveTarget(target.toStdString());
  return resolved.problem.empty() ? resolved.path : absoluteWithoutCleaning(target.toStdString());
}

void checkOutputTarget(const QString& target, const std::string& what) { inspect(target, what); }

OutputFile::OutputFile(const QString& target, std::string what) : target_(target), what_(std::move(what)) {
  const Target t = inspect(target, what_);
  final_ = t.path;
  mode_ = t.exists ? (t.status.st_mode & 07777) : (0666 & ~currentUmask());
  removeStaleTemporaries(folderOf(final_));
  createTemporary();
}

// The temporary is in the table before it exists, so that no moment leaves it unlisted.
void OutputFile::createTemporary() {
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name = temporaryNameFor(final_, randomName());
    auto registration = std::make_unique<TemporaryRegistration>(name);
    fd_ = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
      temporary_ = std::move(name);
      registration_ = std::move(registration);
      return;
    }
    if (errno != EEXIST) fail("the folder is not writable (" + std::string(std::strerror(errno)) + ").");
  }
  fail("no free name for a temporary file was found in its folder.");
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_ && !temporary_.empty()) ::unlink(temporary_.c_str());
}

void OutputFile::fail(const std::string& why) const { refuse(what_, target_, why); }

void OutputFile::write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = systemCalls().write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) fail(writeFailureReason(errno));
    if (written == 0) fail(writeFailureReason(ENOSPC));  // no progress: the device takes no more
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

void OutputFile::commit() {
  // A signal that ends the program removes the temporaries; a write still running then must
  // not rename what is no longer there.
  struct stat status {};
  if (::lstat(temporary_.c_str(), &status) != 0 && errno == ENOENT)
    fail("its temporary file was removed while it was being written (the program is ending), so it was left as it was.");
  if (systemCalls().fsync(fd_) != 0) fail(writeFailureReason(errno));
  if (::fchmod(fd_, mode_) != 0) fail("its permissions could not be set.");
  const int closed = ::close(std::exchange(fd_, -1));  // a network file system may report here
  if (closed != 0 && errno != EINTR) fail(writeFailureReason(errno));
  if (::rename(temporary_.c_str(), final_.c_str()) != 0)
    fail("the finished file could not be moved into place (" + std::string(std::strerror(errno)) + ").");
  committed_ = true;
  registration_.reset();
  // The rename itself lasts only once the folder is on disk too.
  const int folder = ::open(folderOf(final_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
}

}  // namespace output
