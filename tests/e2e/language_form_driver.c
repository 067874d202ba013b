/* Drives the language selection form of a running setup as a user would,
   for test_languages.py (built with MinGW-w64 and run under Wine).

     language_form_driver CAPTION inspect     waits for the form, prints its texts
     language_form_driver CAPTION ACTION...   then acts: down, up, enter, escape
                                              (keys to the focused list), ok,
                                              cancel (button clicks), close

   "inspect" prints one line per fact: caption, label, ok, cancel, items,
   selected, size (client width x height in pixels), dpi. Exit code 0, or 2
   when no such form appears within 60 seconds. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static HWND find_form(const char *caption) {
    for (int i = 0; i < 600; ++i) {
        HWND form = FindWindowA("#32770", caption);
        if (form && IsWindowVisible(form)) return form;
        Sleep(100);
    }
    return NULL;
}

static void print_text(const char *what, HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    printf("%s=%s\n", what, text);
}

static void inspect(HWND form) {
    HWND combo = FindWindowExA(form, NULL, "ComboBox", NULL);
    HWND label = NULL, child = NULL;
    while ((child = FindWindowExA(form, child, "Static", NULL)) != NULL) {
        char text[512] = "";
        GetWindowTextA(child, text, sizeof text);
        if (text[0]) label = child;
    }
    print_text("caption", form);
    print_text("label", label);
    print_text("ok", GetDlgItem(form, IDOK));
    print_text("cancel", GetDlgItem(form, IDCANCEL));
    printf("items=");
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        /* Wide: Wine passes this message between processes only in its
           Unicode form. */
        WCHAR wide[256] = L"";
        char item[512] = "";
        SendMessageW(combo, CB_GETLBTEXT, (WPARAM)i, (LPARAM)wide);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, item, sizeof item, NULL, NULL);
        printf("%s%s", i ? "|" : "", item);
    }
    printf("\nselected=%ld\n", (long)SendMessageA(combo, CB_GETCURSEL, 0, 0));
    RECT client;
    GetClientRect(form, &client);
    printf("size=%ldx%ld\n", client.right, client.bottom);
    HDC screen = GetDC(NULL);
    printf("dpi=%d\n", GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(NULL, screen);
}

static void key(HWND form, WPARAM vk) {
    HWND combo = FindWindowExA(form, NULL, "ComboBox", NULL);
    PostMessageA(combo, WM_KEYDOWN, vk, 1);
    PostMessageA(combo, WM_KEYUP, vk, 0xC0000001);
    Sleep(300);
}

static void click(HWND button) {
    PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Sleep(300);
}

int main(int argc, char **argv) {
    if (argc < 3) return 1;
    HWND form = find_form(argv[1]);
    if (!form) return 2;
    Sleep(500);  /* the form has painted */
    for (int i = 2; i < argc; ++i) {
        const char *a = argv[i];
        if (!strcmp(a, "inspect")) inspect(form);
        else if (!strcmp(a, "down")) key(form, VK_DOWN);
        else if (!strcmp(a, "up")) key(form, VK_UP);
        else if (!strcmp(a, "enter")) key(form, VK_RETURN);
        else if (!strcmp(a, "escape")) key(form, VK_ESCAPE);
        else if (!strcmp(a, "ok")) click(GetDlgItem(form, IDOK));
        else if (!strcmp(a, "cancel")) click(GetDlgItem(form, IDCANCEL));
        else if (!strcmp(a, "close")) PostMessageA(form, WM_SYSCOMMAND, SC_CLOSE, 0);
        else return 1;
    }
    fflush(stdout);
    return 0;
}
