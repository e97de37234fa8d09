#pragma once
// Whether a path names something on disk, decided once for every caller: loading equation
// files, the batch tool's file arguments and the hover cursor file.
#include <QString>

namespace platform {

enum class FileTime {
  Readable,    // the last-modified time can be read: the entry exists (file or folder)
  Missing,     // no such entry, or a part of the path is not a folder
  Unreadable,  // anything else: no permission on a folder on the way, a broken medium ...
};

struct FileTimeCheck {
  FileTime state = FileTime::Missing;
  QString failure;  // what went wrong, when Unreadable
};

FileTimeCheck checkLastModified(const QString& path);

// False only when the path names nothing; never reports. An entry whose time cannot be read (a
// loop of symbolic links, a folder on the way that may not be searched) is no missing file: the
// caller goes on to read it, and the read says what is wrong instead of "not found".
inline bool FileExists(const QString& path) { return checkLastModified(path).state != FileTime::Missing; }

// True when readable, false when missing; throws StepFailure naming the path otherwise.
bool lastModifiedReadable(const QString& path);

}  // namespace platform
