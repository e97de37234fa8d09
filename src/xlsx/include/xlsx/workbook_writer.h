#pragma once
// Writes a workbook as an .xlsx file the way a spreadsheet application saves it: sheets in
// their order (hidden ones hidden), chart sheets with their charts, the first chart sheet
// active, every formula with its computed value cached with its own type and every number
// exact. The large parts are deflated in parallel while they are generated.
#include <functional>
#include <string>

#include "xlsx/compression_pool.h"
#include "xlsx/deflate_chunk.h"
#include "xlsx/zip_archive.h"

namespace core {
class WorkbookModel;
}

namespace xlsx {

struct WriterOptions {
  int compressionLevel = kDefaultLevel;
  unsigned workers = 0;  // compression threads; 0: one per hardware thread
  // Seams for tests: how threads start and how bytes reach the file. Empty: the system's.
  ThreadStarter startThread;
  WriteCall writeCall;
};

// How far the writing is, from 0 to 1: called on the writing thread, rising, a few hundred times
// at most, with 1 once the file is complete.
using WriteProgress = std::function<void(double fraction)>;

// Writes `path` directly (callers that need an atomic replace write to a temporary file and
// rename it). Throws std::runtime_error with the reason; a half-written file is removed.
// Where no compression thread can start, the file is written on the calling thread.
void writeWorkbook(const core::WorkbookModel& model, const std::string& path, const WriterOptions& options = {},
                   const WriteProgress& progress = {});

}  // namespace xlsx
