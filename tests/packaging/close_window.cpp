// close_window CAPTION: waits for a top-level window with exactly this
// caption, then sends it a close request (WM_CLOSE), as its close box
// does. Exit code 0 when it was sent, 1 when no such window came.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: close_window CAPTION\n");
        return 2;
    }
    for (int i = 0; i < 600; ++i) {
        if (HWND window = FindWindowA(nullptr, argv[1])) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        Sleep(100);
    }
    std::fprintf(stderr, "close_window: no window \"%s\"\n", argv[1]);
    return 1;
}
