// The baseline of the start-up benchmark and the size figures on Windows:
// the least a Win32 dialog program does (a dialog from a template in
// memory with a text and a button), built like OSACTL.EXE.
#include <windows.h>

#include <cstring>

namespace {

INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDOK)) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

// A DLGTEMPLATE with its caption and two items, word-aligned as it must be.
struct Template {
    WORD words[256] = {};
    int at = 0;
    void Word(WORD w) { words[at++] = w; }
    void Text(const wchar_t* s) {
        do
            Word(static_cast<WORD>(*s));
        while (*s++ != L'\0');
    }
    void Align() {
        if (at % 2 != 0) Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD cls,
              const wchar_t* text) {
        Align();
        Word(LOWORD(style | WS_CHILD | WS_VISIBLE));
        Word(HIWORD(style | WS_CHILD | WS_VISIBLE));
        Word(0);
        Word(0);
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);
        Word(cls);
        Text(text);
        Word(0);
    }
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Template t;
    const DWORD style = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    t.Word(LOWORD(style));
    t.Word(HIWORD(style));
    t.Word(0);
    t.Word(0);
    t.Word(2); // items
    t.Word(0); // x
    t.Word(0); // y
    t.Word(160);
    t.Word(60);
    t.Word(0); // menu
    t.Word(0); // class
    t.Text(L"Bare Dialog");
    t.Item(SS_LEFT, 10, 10, 140, 10, 100, 0x0082, L"A bare dialog.");
    t.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 55, 35, 50, 14, IDOK, 0x0080, L"Close");
    return static_cast<int>(DialogBoxIndirectParamW(
        instance, reinterpret_cast<LPCDLGTEMPLATEW>(t.words), nullptr, Proc, 0));
}
