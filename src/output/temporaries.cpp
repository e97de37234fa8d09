#include "output/temporaries.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <chrono>
#include <map>
#include <mutex>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace output {
namespace {

constexpr std::string_view kMarker = ".tessaline-";
constexpr std::size_t kRandomLength = 6;
constexpr std::size_t kLongestKeptName = 180;  // of the target's name inside the temporary's
constexpr std::time_t kStaleAge = 24 * 60 * 60;
// A folder is looked through at most this often: a set of 128 pictures looks once, not 128 times.
constexpr auto kRescanAfter = std::chrono::seconds(10);

// A slot moves free -> claimed (its path being copied) -> live, and back to free. The handler
// reads live slots only; a slot freed and claimed again meanwhile could at worst hand it a name
// that mixes two temporaries', which names no file.
enum SlotState : int { kFree = 0, kClaimed = 1, kLive = 2 };
struct Slot {
  std::atomic<int> state{kFree};
  bool onlyWhileEmpty = false;  // these three are set before the slot goes live
  FileIdentity identity;
  char path[PATH_MAX];
};
constexpr int kSlots = 256;  // more temporaries at once than a write of 128 pictures needs
Slot slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free,
              "the signal handler reads the table");

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
const char* endingNotice = nullptr;  // set before the handlers are installed
struct sigaction previousActions[std::size(kEndingSignals)];

// Async-signal-safe (lstat is on the list).
bool stillTheEmptyFile(const Slot& slot) {
  struct stat status {};
  return ::lstat(slot.path, &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0 &&
         status.st_dev == slot.identity.device && status.st_ino == slot.identity.inode;
}

// Async-signal-safe: reads the table, looks and unlinks, nothing else.
void unlinkLiveTemporaries() {
  for (Slot& slot : slots) {
    if (slot.state.load(std::memory_order_acquire) != kLive) continue;
    if (slot.onlyWhileEmpty && !stillTheEmptyFile(slot)) continue;
    ::unlink(slot.path);
  }
}

void onEndingSignal(int number, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  unlinkLiveTemporaries();
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    if (kEndingSignals[i] != number) continue;
    const struct sigaction& before = previousActions[i];
    if (before.sa_flags & SA_SIGINFO) {
      if (before.sa_sigaction) before.sa_sigaction(number, info, context);
    } else if (before.sa_handler == SIG_DFL) {
      // The signal is blocked while we run: raised again, it ends the program as it would have.
      if (endingNotice) {
        const ssize_t said = ::write(STDERR_FILENO, endingNotice, std::strlen(endingNotice));
        (void)said;  // nothing more can be done about a lost notice here
      }
      struct sigaction fallback {};
      fallback.sa_handler = SIG_DFL;
      sigemptyset(&fallback.sa_mask);
      ::sigaction(number, &fallback, nullptr);
      ::raise(number);
    } else if (before.sa_handler != SIG_IGN) {
      before.sa_handler(number);
    }
  }
  errno = savedErrno;
}

void ignoreFileSizeSignal() { std::signal(SIGXFSZ, SIG_IGN); }

bool isAlphanumeric(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The writer's process id when `name` is one of our temporaries' names; 0 otherwise.
pid_t ownerOfTemporary(std::string_view name) {
  if (!name.starts_with('.')) return 0;
  const auto marker = name.rfind(kMarker);
  if (marker == std::string_view::npos || marker == 0) return 0;
  std::string_view rest = name.substr(marker + kMarker.size());
  const auto dash = rest.find('-');
  if (dash == 0 || dash == std::string_view::npos || dash > 9 || rest.size() != dash + 1 + kRandomLength) return 0;
  pid_t pid = 0;
  for (char c : rest.substr(0, dash)) {
    if (c < '0' || c > '9') return 0;
    pid = pid * 10 + (c - '0');
  }
  for (char c : rest.substr(dash + 1))
    if (!isAlphanumeric(c)) return 0;
  return pid;
}

bool processIsGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

bool lookedThroughLately(const std::string& folder) {
  static std::mutex mutex;
  static std::map<std::string, std::chrono::steady_clock::time_point> lastLook;
  const std::lock_guard lock(mutex);
  const auto now = std::chrono::steady_clock::now();
  auto [entry, added] = lastLook.try_emplace(folder, now);
  if (!added && now - entry->second < kRescanAfter) return true;
  entry->second = now;
  return false;
}

}  // namespace

void removeTemporariesOnSignal(const char* notice) {
  ignoreFileSizeSignal();
  endingNotice = notice;
  for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
    struct sigaction current {};
    if (::sigaction(kEndingSignals[i], nullptr, &current) != 0) continue;
    const bool ours = (current.sa_flags & SA_SIGINFO) && current.sa_sigaction == onEndingSignal;
    const bool ignored = !(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN;
    if (ours || ignored) continue;  // nohup's SIGHUP does not end the program: nothing to clean
    previousActions[i] = current;
    struct sigaction action {};
    action.sa_sigaction = onEndingSignal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int other : kEndingSignals) sigaddset(&action.sa_mask, other);
    ::sigaction(kEndingSignals[i], &action, nullptr);
  }
}

TemporaryRegistration::TemporaryRegistration(const std::string& path) : TemporaryRegistration(path, false, {}) {}

TemporaryRegistration::TemporaryRegistration(const std::string& path, FileIdentity emptyFile)
    : TemporaryRegistration(path, true, emptyFile) {}

TemporaryRegistration::TemporaryRegistration(const std::string& path, bool onlyWhileEmpty, FileIdentity identity) {
  static std::once_flag once;
  std::call_once(once, ignoreFileSizeSignal);  // also for writers whose main did not ask
  if (path.size() >= PATH_MAX) return;
  for (int i = 0; i < kSlots; ++i) {
    int expected = kFree;
    if (!slots[i].state.compare_exchange_strong(expected, kClaimed)) continue;
    slots[i].onlyWhileEmpty = onlyWhileEmpty;
    slots[i].identity = identity;
    std::memcpy(slots[i].path, path.c_str(), path.size() + 1);
    slots[i].state.store(kLive, std::memory_order_release);
    slot_ = i;
    return;
  }
}

TemporaryRegistration::~TemporaryRegistration() {
  if (slot_ >= 0) slots[slot_].state.store(kFree, std::memory_order_release);
}

std::string temporaryNameFor(const std::string& finalPath, const std::string& random) {
  const auto slash = finalPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : finalPath.substr(0, slash == 0 ? 1 : slash);
  std::string name = slash == std::string::npos ? finalPath : finalPath.substr(slash + 1);
  if (name.size() > kLongestKeptName) name.resize(kLongestKeptName);  // the whole must fit NAME_MAX
  return (folder == "/" ? "" : folder) + "/." + name + std::string(kMarker) + std::to_string(::getpid()) + "-" + random;
}

void removeStaleTemporaries(const std::string& folder) {
  if (lookedThroughLately(folder)) return;
  DIR* directory = ::opendir(folder.c_str());
  if (!directory) return;
  const int fd = ::dirfd(directory);
  const std::time_t now = std::time(nullptr);
  while (const dirent* entry = ::readdir(directory)) {
    const pid_t owner = ownerOfTemporary(entry->d_name);
    if (owner <= 0 || owner == ::getpid()) continue;
    struct stat status {};
    if (::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) continue;
    if (processIsGone(owner) || now - status.st_mtime > kStaleAge) ::unlinkat(fd, entry->d_name, 0);
  }
  ::closedir(directory);
}

}  // namespace output
