// Runs the driver's remote-call thunk (remote_thunk.h) of this build's architecture on
// the processor, in a bare Linux program (no C library, so that it builds as i386 where
// no 32-bit libraries are installed): it is called as Windows calls a thread's start
// routine (stdcall on i386, the Windows x64 convention on x86-64) and calls functions
// of that convention, as user32's are. Exit code 0 when every call returned what it
// should, else the number of the first call that did not; a broken stack ends it with
// a signal. Built and run by cmake/ScriptTests.cmake, as i386 and as x86-64.
#include "remote_thunk.h"

using Slot = unsigned long;  // pointer-sized on i386 and x86-64 Linux

#if defined(__i386__)
#define WINAPI_LIKE __attribute__((stdcall))
#define THUNK kRemoteThunkX86
#elif defined(__x86_64__)
#define WINAPI_LIKE __attribute__((ms_abi))
#define THUNK kRemoteThunkX64
#endif

namespace {

// Linked with -N: data is executable, as the program's page from VirtualAllocEx is.
unsigned char code[64];

// True when the stack is aligned as the Windows x64 convention promises a callee
// (16 bytes at the call, so the frame pointer, pushed after the return address, is).
bool Aligned() {
#if defined(__x86_64__)
  return (reinterpret_cast<Slot>(__builtin_frame_address(0)) & 15) == 0;
#else
  return true;
#endif
}

// A callee of four arguments and one of one: it pops fewer than the thunk pushed
// (stdcall), and spills its argument to the shadow space above its return address (x64).
WINAPI_LIKE Slot Four(Slot a, Slot b, Slot c, Slot d) {
  return Aligned() ? a * 1000 + b * 100 + c * 10 + d : 0;
}
WINAPI_LIKE Slot One(Slot a) {
  volatile Slot spilled = a;
  return Aligned() ? spilled + 1 : 0;
}

using ThreadStart = WINAPI_LIKE unsigned (*)(void*);

// Runs the thunk as a thread's start routine on the block {a, b, c, d, fn}.
unsigned Call(Slot fn, Slot a, Slot b, Slot c, Slot d) {
  Slot block[5] = {a, b, c, d, fn};
  return reinterpret_cast<ThreadStart>(reinterpret_cast<void*>(code))(block);
}

[[noreturn]] void Exit(int status) {
#if defined(__i386__)
  asm volatile("int $0x80" : : "a"(1), "b"(status));
#else
  asm volatile("syscall" : : "a"(60), "D"(status));
#endif
  __builtin_unreachable();
}

}  // namespace

// The entry point: the stack as a call leaves it (16-byte aligned before the call).
#if defined(__i386__)
asm(".globl _start\n_start:\n\tand $-16, %esp\n\tcall Main\n");
#else
asm(".globl _start\n_start:\n\tand $-16, %rsp\n\tcall Main\n");
#endif

extern "C" [[noreturn]] void Main() {
  static_assert(sizeof THUNK <= sizeof code, "the thunk fits");
  for (unsigned i = 0; i < sizeof THUNK; ++i) code[i] = THUNK[i];
  const struct {
    Slot fn, a, b, c, d;
    unsigned expected;
  } calls[] = {
      {reinterpret_cast<Slot>(Four), 1, 2, 3, 4, 1234},
      {reinterpret_cast<Slot>(One), 41, 0, 0, 0, 42},
      {reinterpret_cast<Slot>(Four), 9, 8, 7, 6, 9876},  // after One: the stack was put back
  };
  for (unsigned i = 0; i < sizeof calls / sizeof calls[0]; ++i) {
    const auto& c = calls[i];
    if (Call(c.fn, c.a, c.b, c.c, c.d) != c.expected) Exit(static_cast<int>(i + 1));
  }
  Exit(0);
}
