// The machine code that the driver runs in the program's process as a thread's start
// routine: it calls fn(a0, a1, a2, a3) from the block its parameter points to, laid out
// {a0, a1, a2, a3, fn} in pointer-sized slots, and returns fn's result, which becomes
// the thread's exit code. The program's code must match the driver's bitness, so there
// is one thunk per architecture; tests/e2e/driver/remote_thunk_check.cpp runs both.
#pragma once

// x86-64, Windows calling convention (arguments in rcx, rdx, r8, r9; 32 bytes of
// shadow space; the stack 16-byte aligned at the call):
//   push rbx; mov rbx,rcx; sub rsp,32
//   mov rcx,[rbx]; mov rdx,[rbx+8]; mov r8,[rbx+16]; mov r9,[rbx+24]
//   call [rbx+32]; add rsp,32; pop rbx; ret
inline constexpr unsigned char kRemoteThunkX64[] = {
    0x53, 0x48, 0x89, 0xCB, 0x48, 0x83, 0xEC, 0x20, 0x48, 0x8B, 0x0B, 0x48, 0x8B,
    0x53, 0x08, 0x4C, 0x8B, 0x43, 0x10, 0x4C, 0x8B, 0x4B, 0x18, 0xFF, 0x53, 0x20,
    0x48, 0x83, 0xC4, 0x20, 0x5B, 0xC3};

// i386, stdcall (the thread routine and the user32 functions it calls pop their own
// arguments). fn may take fewer than the four arguments pushed, so the stack is put
// back from ebx rather than trusted to balance:
//   push ebx; mov ebx,esp; mov eax,[ebx+8]
//   push [eax+12]; push [eax+8]; push [eax+4]; push [eax]; call [eax+16]
//   mov esp,ebx; pop ebx; ret 4
inline constexpr unsigned char kRemoteThunkX86[] = {
    0x53, 0x89, 0xE3, 0x8B, 0x43, 0x08, 0xFF, 0x70, 0x0C, 0xFF, 0x70, 0x08, 0xFF,
    0x70, 0x04, 0xFF, 0x30, 0xFF, 0x50, 0x10, 0x89, 0xDC, 0x5B, 0xC2, 0x04, 0x00};
