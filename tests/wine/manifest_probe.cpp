// Prints the application manifest a program carries (resource RT_MANIFEST, id 1: the one Windows
// reads when it starts the program), so a script can check what it declares:
//   manifest_probe <program.exe>
// Exit status: 0 printed, 1 the program or its manifest cannot be read, 2 bad arguments.
#include <cstdio>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: manifest_probe <program.exe>\n", stderr);
        return 2;
    }
    // As data only: nothing of the program runs.
    const HMODULE program =
        ::LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!program) {
        std::fprintf(stderr, "cannot load %ls: error %lu\n", argv[1], ::GetLastError());
        return 1;
    }
    const HRSRC resource = ::FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    const HGLOBAL loaded = resource ? ::LoadResource(program, resource) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) {
        std::fprintf(stderr, "%ls has no manifest (RT_MANIFEST 1)\n", argv[1]);
        return 1;
    }
    std::fwrite(data, 1, ::SizeofResource(program, resource), stdout);
    std::fputc('\n', stdout);
    ::FreeLibrary(program);
    return 0;
}
