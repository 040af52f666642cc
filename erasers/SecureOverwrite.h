// Overwriting a file before it is deleted: the pattern, the passes the
// settings ask for, written here piece by piece or planned for the platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Context.h"

namespace nimbrel {

// The overwrite pattern: each 2048-byte stretch gets block A, then block B.
constexpr std::size_t kOverwriteBlockSize = 2048;
constexpr char kBlockA = 0x42;
constexpr char kBlockB = 0x20;
// Extra passes beyond this (a hand-edited setting) are not made.
constexpr int kMaxExtraPasses = 10;
// The pattern goes out in pieces of this many blocks (1 MiB): writing block by
// block is many times slower, and the bytes on disk are the same.
constexpr std::uint64_t kBlocksPerWrite = 512;
constexpr std::uint64_t kPieceBytes = kBlocksPerWrite * kOverwriteBlockSize;

// The pass loop: passes follow the settings, re-read after each. Every pass
// reaches the medium before the next; closing the file flushes the last one.
void RunPasses(Context& ctx, FileHandle file, std::uint64_t length);
// The passes of a file handed over whole, decided before its first byte by
// reading the settings as the pass loop reads them after each pass (secure
// erasing on? extra passes at least the passes made so far?). That is the
// loop's own answer: nothing between the passes of such a file lets the user
// interface run, so nothing can change the settings in between.
std::vector<ErasePass> PlanPasses(Context& ctx, std::uint64_t length);
// The passes the settings ask for now, as PlanPasses counts them (at least one).
int PassesChosen(Context& ctx);
// A piece of the pattern, kPieceBytes of `fill` (kBlockA or kBlockB).
const char* PatternPiece(char fill);

}  // namespace nimbrel
