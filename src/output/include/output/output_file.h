#pragma once
// Writing a file the user named, in one piece. The contents go to a temporary file beside the
// target (same folder, so the final rename is atomic); every write is checked, the file is
// flushed to disk and then renamed over the target. A symbolic link is written through: the
// file it points to is replaced and the link stays. A new file gets the mode the umask allows;
// a file that is replaced keeps its mode, and one we may not write to is refused rather than
// replaced. Whatever fails, the temporary file is removed (by a signal that ends the program
// too, see temporaries.h), and every message names the target, never the temporary. The target
// itself is never removed, empty or not; a name the program reserved for a file it writes later
// is cleaned up by its reservation (reserved_file.h).
#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

#include "core/workbook_error.h"

namespace output {

class TemporaryRegistration;

// A file that could not be written. what() is the whole sentence, naming the file; reason() is
// the plain reason it ends with, for callers that name the file in words of their own.
class OutputError : public core::WorkbookError {
 public:
  OutputError(const std::string& sentence, std::string reason)
      : core::WorkbookError(sentence), reason_(std::move(reason)) {}
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

class OutputFile {
 public:
  // Checks the target and creates the temporary. `what` names the kind of file in messages
  // ("the workbook", "the picture"). Throws OutputError when the target names a folder, is not
  // a regular file, is read-only or its folder cannot be written.
  explicit OutputFile(const QString& target, std::string what = "the workbook");
  ~OutputFile();  // removes the temporary unless committed
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // For a writer that opens the file itself; what it writes is checked at commit().
  const std::string& temporaryPath() const { return temporary_; }
  // The file that will be replaced: the target with its links resolved.
  const std::string& finalPath() const { return final_; }
  // Appends to the temporary, every byte accounted for; throws naming the target.
  void write(std::string_view bytes);
  // The mode the file gets, whatever the target had: 0600 for a private file.
  void setMode(unsigned mode) { mode_ = mode; }
  // Flushes the temporary to disk, gives it its mode and renames it over the target.
  void commit();
  // A failure of the writer, as a message that names the target.
  [[noreturn]] void fail(const std::string& why) const;

 private:
  void createTemporary();

  QString target_;
  std::string what_;
  std::string final_;
  std::string temporary_;
  std::unique_ptr<TemporaryRegistration> registration_;
  int fd_ = -1;
  unsigned mode_ = 0;
  bool committed_ = false;
};

// The checks of OutputFile without creating anything, so that a tool can refuse a bad target
// before it starts its work. Throws OutputError naming `what`.
void checkOutputTarget(const QString& target, const std::string& what = "the workbook");

// The target with its symbolic links and ".." resolved as the kernel resolves them; the
// absolute target as given when that is not possible (the check then says why).
std::string resolvedOutputPath(const QString& target);

// The reason given when the memory ran out while a file was being made.
inline constexpr char kNotEnoughMemory[] = "there is not enough memory to write it.";

// The reason for a failed write in plain words: a full disk, the file size limit, a quota.
std::string writeFailureReason(int error);

}  // namespace output
