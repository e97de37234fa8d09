#pragma once
// Writing a file the user named, in one piece. The contents go to a temporary file beside the
// target (same folder, so the final rename is atomic), which is flushed to disk and then renamed
// over the target. A symbolic link is written through: the file it points to is replaced and
// the link stays. A new file gets the mode the umask allows; a file that is replaced keeps its
// mode, and one we may not write to is refused rather than replaced. Whatever fails, the
// temporary file is removed, and every message names the target, never the temporary.
#include <QString>

#include <string>

namespace output {

class OutputFile {
 public:
  // Checks the target and creates the temporary. Throws core::WorkbookError when the target
  // names a folder, is not a regular file, is read-only or its folder cannot be written.
  explicit OutputFile(const QString& target);
  ~OutputFile();  // removes the temporary unless committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Where the writer puts the contents.
  const std::string& temporaryPath() const { return temporary_; }
  // The file that will be replaced: the target with its links resolved.
  const std::string& finalPath() const { return final_; }
  // Flushes the temporary to disk, gives it its mode and renames it over the target.
  void commit();
  // A failure of the writer, as a message that names the target.
  [[noreturn]] void fail(const std::string& why) const;

 private:
  QString target_;
  std::string final_;
  std::string temporary_;
  unsigned mode_ = 0;
  bool committed_ = false;
};

// The checks of OutputFile without creating anything, so that a tool can refuse a bad target
// before it starts its work. Throws core::WorkbookError.
void checkOutputTarget(const QString& target);

// The target with its symbolic links resolved (the target itself when it is no link). A link
// to a file that does not exist yet resolves to that file.
std::string resolvedOutputPath(const QString& target);

}  // namespace output
