#pragma once
// A name claimed for a file that is written later (BookN.xlsx): the file is created empty and
// exclusively, so that no two writers, in this process or another, pick the same name. Until it
// is written, the empty file is the program's own: a signal that ends the program removes it, and
// so does the end of the reservation. Only that empty file is ever removed: once a complete file
// has been renamed over it, or the user has put anything in its place, the name is left alone.
// A user's own file, empty or not, is never reserved and so never removed.
#include <memory>
#include <string>
#include <sys/types.h>

namespace output {

class TemporaryRegistration;

class ReservedFile {
 public:
  // Claims `path`. Empty when the name is taken (by a file, a folder or a link); throws
  // OutputError, naming `what`, when the file cannot be created for another reason.
  static std::unique_ptr<ReservedFile> claim(const std::string& path, const std::string& what = "the workbook");
  ~ReservedFile();  // removes the file while it is still the empty one created here
  ReservedFile(const ReservedFile&) = delete;
  ReservedFile& operator=(const ReservedFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  ReservedFile(std::string path, int fd, dev_t device, ino_t inode);

  std::string path_;
  // Held open so that the file's inode number is not given to another file while we compare
  // against it: a file the user puts in its place can never look like ours.
  int fd_;
  dev_t device_;
  ino_t inode_;
  std::unique_ptr<TemporaryRegistration> registration_;
};

}  // namespace output
