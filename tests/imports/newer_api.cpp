// Imports GetTickCount64 (Windows Vista and later): tools/check-imports.sh must refuse it.
#include <windows.h>

int main() { return static_cast<int>(GetTickCount64() % 2); }
