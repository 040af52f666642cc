// Flushes and closes erased files on worker threads.
//
// Flushing a file to the medium is a wait for the disk, and the delete of an
// erased file happens as its handle closes. Done one file after another, a walk
// over thousands of small files spends most of its time waiting; with a few
// flushes in flight the disk commits them together, and the walk opens and
// writes the next file meanwhile. Each file is still flushed before it is closed
// and deleted.
#pragma once

#include <memory>

namespace nimbrel {

class FileCloser {
 public:
  FileCloser();
  ~FileCloser();  // waits for every file handed over
  FileCloser(const FileCloser&) = delete;
  FileCloser& operator=(const FileCloser&) = delete;

  // Hands an open file (a HANDLE) over: a worker flushes and closes it. Waits
  // while the workers already hold as many files as they take.
  void FlushAndClose(void* file);
  // Returns once every file handed over is closed, or when `milliseconds`
  // have passed first.
  static constexpr unsigned long kForever = 0xFFFFFFFF;  // INFINITE
  void Wait(unsigned long milliseconds = kForever);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace nimbrel
