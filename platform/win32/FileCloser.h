// Overwrites, flushes and closes erased files on worker threads.
//
// Flushing a file to the medium is a wait for the disk, and the delete of an
// erased file happens as its handle closes. Done one file after another, a walk
// over thousands of small files spends most of its time waiting; with a few
// files in flight the disk commits their flushes together, and the walk opens
// the next file meanwhile. Each file still gets its passes in order, each
// flushed before the next, and is closed (and so deleted) after its last flush.
#pragma once

#include <memory>
#include <vector>

#include "platform/Files.h"

namespace nimbrel {

class FileCloser {
 public:
  FileCloser();
  ~FileCloser();  // waits for every file handed over
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

  // Asks for an open file (a HANDLE, opened with the right to delete) to be
  // deleted when it is closed. The delete is applied at the file's first
  // flush after a whole pass (Flushed, or a worker's flush between passes or
  // after the last): from then on the file goes as its handle closes, even
  // when the process ends first. False when that cannot be recorded. Called
  // from the thread that hands files over.
  bool DeleteWhenClosed(void* file);
  // The caller flushed the file: a delete asked for is applied now.
  void Flushed(void* file);
  // Hands an open file over: a worker writes each pass (flushing between
  // them), flushes, and closes it. Waits while the workers already hold as
  // many files as they take.
  void Close(void* file, std::vector<ErasePass> passes);
  // Returns once every file handed over is closed, or when `milliseconds`
  // have passed first.
  static constexpr unsigned long kForever = 0xFFFFFFFF;  // INFINITE
  void Wait(unsigned long milliseconds = kForever);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace nimbrel
