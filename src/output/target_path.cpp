#include "output/target_path.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace output {
namespace {

constexpr int kMaxLinks = 40;  // as the kernel's own limit for a path

std::string reasonOf(int error) { return std::strerror(error); }

}  // namespace

std::string absoluteWithoutCleaning(const std::string& path) {
  if (path.starts_with('/')) return path;
  std::unique_ptr<char, decltype(&std::free)> here(::getcwd(nullptr, 0), &std::free);
  if (!here) return path;
  const std::string folder = here.get();
  return (folder == "/" ? "" : folder) + "/" + path;
}

ResolvedTarget resolveTarget(const std::string& target) {
  if (target.empty()) return {{}, "no file name was given."};
  if (target.ends_with('/')) return {{}, "the name ends in \"/\", so it names a folder, not a file."};
  std::string path = absoluteWithoutCleaning(target);
  for (int links = 0; links <= kMaxLinks; ++links) {
    const auto slash = path.rfind('/');
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = path.substr(slash + 1);
    if (name == "." || name == "..") return {{}, "the name \"" + name + "\" names a folder, not a file."};
    char real[PATH_MAX];
    if (!::realpath(folder.c_str(), real)) {
      if (errno == ENOENT) return {{}, "the folder \"" + folder + "\" does not exist."};
      if (errno == ENOTDIR) return {{}, "\"" + folder + "\" is not a folder."};
      return {{}, "the folder \"" + folder + "\" cannot be reached (" + reasonOf(errno) + ")."};
    }
    struct stat status {};
    if (::stat(real, &status) == 0 && !S_ISDIR(status.st_mode)) return {{}, "\"" + folder + "\" is not a folder."};
    const std::string resolvedFolder = std::string(real) == "/" ? "" : std::string(real);
    path = resolvedFolder + "/" + name;
    char link[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), link, sizeof link - 1);
    if (length < 0) return {path, {}};  // no link (or nothing there yet): this is the file
    const std::string next(link, static_cast<std::size_t>(length));
    if (next.empty() || next.ends_with('/')) return {{}, "it is a link to a folder, not to a file."};
    path = next.starts_with('/') ? next : resolvedFolder + "/" + next;
  }
  return {{}, "it is a chain of more than 40 symbolic links."};
}

}  // namespace output
