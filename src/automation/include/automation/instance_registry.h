#pragma once
// The per-user table of running engine instances: one entry file per instance in a per-user
// runtime folder, held under flock() for the instance's life. The kernel drops the lock when
// the process ends however it ends, so an entry whose lock can be taken belongs to a crashed
// instance: readers ignore it and remove it.
//
// An instance counts as running from ApplicationFactory::create() until the last reference to
// its Application is released, in any process of this user, whether or not it is visible.
// Workbooks already handed over to the user's spreadsheet application do not count; one shown in
// our own workbook window keeps its instance, and so counts, until the window closes.
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace automation {

struct InstanceEntry {
  qint64 pid = 0;
  std::uint64_t id = 0;
  QString path;
};

class InstanceRegistration {
 public:
  InstanceRegistration(int fd, QString path, InstanceEntry entry);
  ~InstanceRegistration();  // removes the entry, then lets go of the lock
  InstanceRegistration(const InstanceRegistration&) = delete;
  InstanceRegistration& operator=(const InstanceRegistration&) = delete;
  const InstanceEntry& entry() const { return entry_; }

 private:
  int fd_;
  InstanceEntry entry_;
};

class InstanceRegistry {
 public:
  explicit InstanceRegistry(QString folder) : folder_(std::move(folder)) {}

  // Throws core::WorkbookError when the table cannot be written.
  std::unique_ptr<InstanceRegistration> add(std::uint64_t id) const;
  // Live entries, oldest first; stale ones are removed on the way.
  std::vector<InstanceEntry> live() const;
  // Whether the entry's owner still holds it.
  static bool isLive(const QString& path);

 private:
  QString folder_;
};

// The per-user runtime folder of the table, when the caller names none.
QString defaultInstancesFolder();

}  // namespace automation
