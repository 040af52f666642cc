// How the erasers tell the user what they do. An eraser never touches a
// control: it reports here, and each front end shows the report its own way
// (the main window on its progress list and counters, tests by recording the
// calls, the benchmark by counting them).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Desktop.h"

namespace nimbrel {

class RunReport {
 public:
  virtual ~RunReport() = default;
  // A progress line ("  " + the item handled): added to the progress list,
  // which then shows it as its last, selected line.
  virtual void ProgressLine(const std::string& line) = 0;
  // The run counters changed; each call gives the new total.
  virtual void RegistryItemsRemoved(std::int32_t total) = 0;
  virtual void FilesDeleted(std::int32_t total) = 0;
  virtual void BytesErased(std::uint64_t total) = 0;
  // Lets the user interface process its pending messages.
  virtual void DoEvents() = 0;
  // The window that owns system dialogs such as the recycle bin's; 0 for none.
  virtual WindowHandle Owner() { return 0; }

  // The run's course, which only a front end that shows it needs to hear.
  // A row of the to-be-erased list is about to be erased; once every row is
  // done, `row` is the row count (what follows, the log, belongs to no row).
  virtual void RowStarted(int /*row*/) {}
  // The run is over and its log written.
  virtual void RunFinished() {}
  // Another run of Nimbrel held the run lock past the wait: nothing was erased.
  virtual void RunLockBusy() {}
};

}  // namespace nimbrel
