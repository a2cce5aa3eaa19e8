// Loads each DLL named on its command line by bare name, as a program that leaves the search to the system does.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    for (int i = 1; i < argc; ++i)
        LoadLibraryW(argv[i]);
    return 0;
}
