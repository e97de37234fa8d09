#include "plot_output_guard.h"

#include <QFile>

#include <optional>
#include <sys/stat.h>
#include <utility>

#include "output/output_file.h"

namespace app {
namespace {

using Identity = std::pair<dev_t, ino_t>;

std::optional<Identity> identityOf(const std::string& path) {
  struct stat status {};
  if (path.empty() || ::stat(path.c_str(), &status) != 0) return std::nullopt;
  return Identity{status.st_dev, status.st_ino};
}

std::optional<Identity> identityOf(const QString& path) {
  return identityOf(std::string(QFile::encodeName(path).constData()));
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

QString protectedTargetProblem(const QString& target, const QString& what, const ProtectedFiles& files) {
  const std::string resolved = output::resolvedOutputPath(target);
  const auto settings = identityOf(files.settingsFolder);
  if (settings && settings == identityOf(folderOf(resolved)))
    return QStringLiteral("%1 %2 would be written into Tessaline's settings folder %3, beside the saved list and "
                          "the window's lock; choose another place with -o")
        .arg(what, target, files.settingsFolder);
  const auto written = identityOf(resolved);
  if (!written) return {};
  if (written == identityOf(files.savedList))
    return QStringLiteral("%1 %2 would replace the saved list %3; choose another name with -o")
        .arg(what, target, files.savedList);
  for (const QString& input : files.inputs)
    if (written == identityOf(input))
      return QStringLiteral("%1 %2 would replace the equation file %3; choose another name with -o").arg(what, target, input);
  return {};
}

}  // namespace app
