// Holds an existing file open for reading and writing with no sharing, as an
// editor or a running program may, so that nobody else can open it.
// Prints "held" once it has the file, then keeps it until its standard input
// closes or a minute has passed. Usage: hold_file <path>
#include <windows.h>

#include <cstdio>

namespace {

DWORD WINAPI drain_input(void*) {
  char bytes[256];
  DWORD count = 0;
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  while (ReadFile(input, bytes, sizeof bytes, &count, nullptr) && count > 0) {
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: hold_file <path>\n", stderr);
    return 2;
  }
  HANDLE file = CreateFileA(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::printf("cannot hold %s: error %lu\n", argv[1], GetLastError());
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  HANDLE reader = CreateThread(nullptr, 0, drain_input, nullptr, 0, nullptr);
  if (reader) WaitForSingleObject(reader, 60000);
  CloseHandle(file);
  return 0;
}
