#include "batch/saved_list_keeper.h"

#include "batch/saved_list.h"
#include "batch/settings_store.h"
#include "equations/repeat_sharer.h"
#include "equations/row_batch.h"
#include "platform/error_report.h"

namespace app {
namespace {

QString savedListKey() { return QString::fromLatin1(kSavedListKey); }

// One piece of the saved text: its equation makes a row, each further field a sub-item. Every
// field is its own step, so a piece short of fields keeps what it has and reports what it lacks.
void restoreRow(equations::RowBatch& rows, QStringView piece, platform::ErrorTrap& trap,
                std::array<equations::RepeatSharer, 4>& sharers) {
  SavedFields fields;
  trap.step(154, [&] { fields = splitSavedFields(piece); });
  equations::EquationEntry* row = nullptr;  // none: the sub-item steps then fail too
  trap.step(156, [&] { row = &rows.startRow(savedField(fields, 0).toString()); });
  QString equations::EquationEntry::*const subItems[] = {&equations::EquationEntry::start,
                                                         &equations::EquationEntry::end,
                                                         &equations::EquationEntry::step};
  for (int subItem = 1; subItem <= 3; ++subItem)
    trap.step(156 + 2 * subItem, [&] {
      if (!row) throw platform::StepFailure(platform::kSubscriptOutOfRange);
      row->*subItems[subItem - 1] = sharers[static_cast<size_t>(subItem)].share(savedField(fields, subItem));
    });
}

}  // namespace

QString unreadListKeptText(const QString& keptIn) {
  return QStringLiteral("The saved list could not be read when Tessaline started, so it was not replaced: "
                        "it is kept unchanged in %1\r\rThis window's list was saved in its place.")
      .arg(keptIn);
}

void saveEquationList(const equations::EquationListModel& list, SettingsStore& store,
                      platform::ErrorTrap& trap, bool storedValueUnread) {
  QString text;
  trap.step(100, [&] { text.clear(); });
  int rowCount = 0;
  trap.step(102, [&] {
    rowCount = list.count();
    text.reserve(savedListLength(list));
  });
  for (int position = 1; position <= rowCount;) {
    trap.step(104, [&] { appendSavedRow(text, list, position); });
    if (!trap.advance(106, [&] { return ++position <= rowCount; })) break;
  }
  if (!storedValueUnread) {
    trap.step(108, [&] { store.write(savedListKey(), text); });
    return;
  }
  if (rowCount == 0) return;  // nothing to save, and the unread value stays as it is
  QString keptIn;
  if (!trap.step(108, [&] { keptIn = store.setAside(savedListKey()); })) return;
  if (!trap.step(108, [&] { store.write(savedListKey(), text); })) return;
  if (!keptIn.isEmpty())
    trap.step(108, [&] {
      trap.dialogs().messageBox(unreadListKeptText(keptIn), platform::Buttons::Ok, platform::Icon::None);
    });
}

bool restoreEquationList(equations::EquationListModel& list, SettingsStore& store,
                         platform::ErrorTrap& trap) {
  QString saved;
  const bool read = trap.step(144, [&] { saved = store.read(savedListKey(), QString()); });
  if (read && !store.readNotice().isEmpty())
    trap.step(144, [&] { trap.dialogs().messageBox(store.readNotice(), platform::Buttons::Ok, platform::Icon::None); });
  if (trap.test(146, [&] { return saved.isEmpty(); })) return read;
  restoreSavedRows(list, saved, trap);
  return read;
}

void restoreSavedRows(equations::EquationListModel& list, QStringView saved, platform::ErrorTrap& trap) {
  std::vector<QStringView> pieces;
  trap.step(148, [&] { pieces = splitSavedRows(saved); });
  std::array<equations::RepeatSharer, 4> sharers;
  equations::RowBatch rows(list);
  for (size_t i = 0; i < pieces.size();) {
    if (!trap.test(152, [&] { return pieces[i].isEmpty(); })) restoreRow(rows, pieces[i], trap, sharers);
    if (!trap.advance(164, [&] { return ++i < pieces.size(); })) break;
  }
  rows.flush();
}

}  // namespace app
