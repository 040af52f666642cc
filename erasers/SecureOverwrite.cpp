#include "erasers/SecureOverwrite.h"

#include <algorithm>
#include <string>

namespace nimbrel {

namespace {

const std::string& Pattern(char fill) {
  static const std::string a(kPieceBytes, kBlockA);
  static const std::string b(kPieceBytes, kBlockB);
  return fill == kBlockA ? a : b;
}

// The extra passes asked for; a text that is no number asks for none.
double ExtraPasses(Context& ctx) {
  const auto n = AsNumber(ctx.settings.ReadSetting(kOptions, "cmboverwriteTracksFiles", "0"));
  return std::min(n.value_or(0.0), static_cast<double>(kMaxExtraPasses));
}

// The pieces of one pass over a file of `length` bytes: every 2048-byte
// stretch, plus one past the end, in pieces of at most 1 MiB, each to get
// block A and then block B at the same place. `piece(position, size)` returns
// false to stop the pass. Returns the length after the pass.
template <class Piece>
std::uint64_t ForEachPiece(std::uint64_t length, Piece&& piece) {
  std::uint64_t blocks = length / kOverwriteBlockSize + 1;
  const std::uint64_t end = blocks * kOverwriteBlockSize;
  for (std::uint64_t position = 0; blocks > 0;) {
    const std::uint64_t n = std::min(blocks, kBlocksPerWrite);
    const auto size = static_cast<std::size_t>(n * kOverwriteBlockSize);
    if (!piece(position, size)) break;
    position += size;
    blocks -= n;
  }
  return std::max(length, end);
}

// One pass through the open file, written here with a yield between pieces.
// None follows the last piece: the program cannot end (the window closed in
// a yield) with a pass complete before the caller flushes the file or hands
// it over, when its delete starts to hold. Returns the length afterwards.
// When the file cannot grow (a full disk), its own bytes are still all
// overwritten and its length stays.
std::uint64_t OverwritePass(Context& ctx, FileHandle file, std::uint64_t length) {
  Files& files = ctx.platform.files;
  const auto overwrite = [&files, file](std::uint64_t at, std::size_t bytes) {
    return files.Seek(file, at) && files.Write(file, Pattern(kBlockA).data(), bytes) &&
           files.Seek(file, at) && files.Write(file, Pattern(kBlockB).data(), bytes);
  };
  bool grew = true;
  const std::uint64_t after = ForEachPiece(length, [&](std::uint64_t position, std::size_t size) {
    if (position > 0) ctx.DoEvents();
    grew = overwrite(position, size);
    // Within the file's length nothing needs new room: write just that.
    if (!grew && position < length)
      overwrite(position, static_cast<std::size_t>(std::min<std::uint64_t>(size, length - position)));
    return grew;
  });
  return grew ? after : length;
}

// One pass as data, for the platform to write; `length` becomes the length
// after the pass. A write that finds no room to grow the file falls back to
// the part inside the file's `original` length, as OverwritePass does.
ErasePass PassWrites(std::uint64_t& length, std::uint64_t original) {
  ErasePass pass;
  length = ForEachPiece(length, [&](std::uint64_t position, std::size_t size) {
    const auto within = static_cast<std::size_t>(
        position < original ? std::min<std::uint64_t>(size, original - position) : 0);
    pass.push_back({position, Pattern(kBlockA).data(), size, within});
    pass.push_back({position, Pattern(kBlockB).data(), size, within});
    return true;
  });
  return pass;
}

}  // namespace

void RunPasses(Context& ctx, FileHandle file, std::uint64_t length) {
  for (int pass = 1;; ++pass) {
    length = OverwritePass(ctx, file, length);
    if (!ctx.OptionSelected("chkenablesecureerasing")) break;
    if (ExtraPasses(ctx) < pass) break;
    ctx.platform.files.Flush(file);
  }
}

int PassesChosen(Context& ctx) {
  int passes = 1;
  if (ctx.OptionSelected("chkenablesecureerasing")) {
    const double extra = ExtraPasses(ctx);  // at most kMaxExtraPasses
    while (!(extra < passes)) ++passes;
  }
  return passes;
}

const char* PatternPiece(char fill) { return Pattern(fill).data(); }

std::vector<ErasePass> PlanPasses(Context& ctx, std::uint64_t length) {
  std::vector<ErasePass> out(static_cast<std::size_t>(PassesChosen(ctx)));
  const std::uint64_t original = length;
  for (ErasePass& pass : out) pass = PassWrites(length, original);
  return out;
}

}  // namespace nimbrel
