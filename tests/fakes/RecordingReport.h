// A run report that records every call in order, as text, and keeps the last
// totals; it can pass every call on to another report as well.
#pragma once

#include <string>
#include <vector>

#include "core/RunReport.h"
#include "platform/EventLoop.h"

namespace nimbrel {

class RecordingReport final : public RunReport {
 public:
  // Yields go to `loop`; every call also goes to `next` when there is one.
  explicit RecordingReport(EventLoop& loop, RunReport* next = nullptr) : loop_(loop), next_(next) {}

  // "line TEXT", "registry N", "files N", "bytes N", "row N", "finished", "busy"
  std::vector<std::string> calls;
  std::vector<std::string> lines;
  std::int32_t registry = 0, files = 0;
  std::uint64_t bytes = 0;
  int yields = 0;
  WindowHandle owner = 0;

  void ProgressLine(const std::string& line) override {
    calls.push_back("line " + line);
    lines.push_back(line);
    if (next_) next_->ProgressLine(line);
  }
  void RegistryItemsRemoved(std::int32_t total) override {
    calls.push_back("registry " + std::to_string(total));
    registry = total;
    if (next_) next_->RegistryItemsRemoved(total);
  }
  void FilesDeleted(std::int32_t total) override {
    calls.push_back("files " + std::to_string(total));
    files = total;
    if (next_) next_->FilesDeleted(total);
  }
  void BytesErased(std::uint64_t total) override {
    calls.push_back("bytes " + std::to_string(total));
    bytes = total;
    if (next_) next_->BytesErased(total);
  }
  void DoEvents() override {
    ++yields;
    if (next_) next_->DoEvents(); else loop_.DoEvents();
  }
  WindowHandle Owner() override { return next_ ? next_->Owner() : owner; }
  void RowStarted(int row) override {
    calls.push_back("row " + std::to_string(row));
    if (next_) next_->RowStarted(row);
  }
  void RunFinished() override {
    calls.push_back("finished");
    if (next_) next_->RunFinished();
  }
  void RunLockBusy() override {
    calls.push_back("busy");
    if (next_) next_->RunLockBusy();
  }

 private:
  EventLoop& loop_;
  RunReport* next_;
};

}  // namespace nimbrel
