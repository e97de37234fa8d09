#pragma once
// What tessaline-plot must never write over: the equation files it reads, the saved list, and
// anything in Tessaline's settings folder, where the saved list and the window's lock live.
// Files are compared by what they are on disk (device and inode, links and ".." resolved as
// the kernel resolves them), not by how they were named.
#include <QString>
#include <QStringList>

namespace app {

struct ProtectedFiles {
  QStringList inputs;      // equation files
  QString savedList;       // the file that holds the saved list
  QString settingsFolder;  // the settings section's folder
};

// Why `target` may not be written, as a sentence for the user naming `what` it would be; empty
// when it may.
QString protectedTargetProblem(const QString& target, const QString& what, const ProtectedFiles& files);

}  // namespace app
