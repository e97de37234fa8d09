#pragma once
// The temporaries that output files are written to before they are renamed into place. Each is
// named after its target and the process that writes it (".book.xlsx.tessaline-1234-a8Zk3q"), and
// is held in a fixed table while it exists, so that a signal that ends the program can remove it,
// and a later write into the same folder can remove one left behind by a process killed outright.
#include <string>
#include <sys/types.h>

namespace output {

// Which file a path named when it was registered: a signal removes a reserved name only while it
// is still that very file, and still empty.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
};

// Installs handlers for SIGTERM, SIGINT and SIGHUP that unlink every temporary being written and
// then let the signal take its course: the handler that was installed before runs (call this
// after installing your own handlers for these signals), or the default action ends the program.
// A signal that is ignored stays ignored. Also ignores SIGXFSZ, so that a write past the file
// size limit (ulimit -f) fails with EFBIG and is reported, instead of killing the program.
// `notice`, when given, is written to standard error as the signal ends the program; it must
// outlive the program's run (a string literal).
void removeTemporariesOnSignal(const char* notice = nullptr);

// A temporary's slot in the table, for as long as the file may exist.
class TemporaryRegistration {
 public:
  TemporaryRegistration() = default;
  // Claims a slot for `path`; when the table is full, the file is only found later by its name.
  explicit TemporaryRegistration(const std::string& path);
  // For a name reserved by an empty file: the signal removes it only while `path` is still that
  // file and still empty, so a file written over it, or put there by the user, stays.
  TemporaryRegistration(const std::string& path, FileIdentity emptyFile);
  ~TemporaryRegistration();
  TemporaryRegistration(const TemporaryRegistration&) = delete;
  TemporaryRegistration& operator=(const TemporaryRegistration&) = delete;

 private:
  TemporaryRegistration(const std::string& path, bool onlyWhileEmpty, FileIdentity identity);
  int slot_ = -1;
};

// A new temporary's name beside `finalPath`: the target's name (shortened when long), this
// process's id and `random`.
std::string temporaryNameFor(const std::string& finalPath, const std::string& random);

// Removes from `folder` the temporaries of processes that no longer run, and any older than a
// day: what a process killed outright (kill -9, a power cut) left. Only our own files of that
// name pattern are touched. A folder is looked through at most once every ten seconds.
void removeStaleTemporaries(const std::string& folder);

}  // namespace output
