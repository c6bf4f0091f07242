/* The Win32 window calls as the module sees them.
 *
 * On Windows these are the real declarations from <windows.h> and
 * <commctrl.h>; the three subclass calls are linked by ordinal against
 * COMCTL32 (see cmake/comctl32_ordinals.def). Elsewhere this header declares
 * the same names, types and constants with C linkage, and the simulated
 * window system (simwin/) provides them. */
#ifndef KORVEL_HOST_WIN_API_H
#define KORVEL_HOST_WIN_API_H

#if defined(_WIN32)

#include <windows.h>
#include <commctrl.h>

#else

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define WINAPI
#define CALLBACK
#define WINAPI_EXPORT __attribute__((visibility("default")))

typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint16_t ATOM;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t LONG_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t DWORD_PTR;
typedef const char *LPCSTR;
typedef char *LPSTR;
typedef void *LPVOID;

typedef struct HWND__ *HWND;
typedef struct HINSTANCE__ *HINSTANCE;
typedef HINSTANCE HMODULE;
typedef struct HICON__ *HICON;
typedef HICON HCURSOR;
typedef struct HBRUSH__ *HBRUSH;
typedef struct HMENU__ *HMENU;

typedef struct tagRECT {
    LONG left, top, right, bottom;
} RECT, *LPRECT;

typedef struct tagPOINT {
    LONG x, y;
} POINT, *LPPOINT;

typedef struct tagWINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x, y, cx, cy;
    UINT flags;
} WINDOWPOS;

/* where a window is, and where it comes back to when minimised */
typedef struct tagWINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
} WINDOWPLACEMENT;

typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef BOOL(CALLBACK *WNDENUMPROC)(HWND, LPARAM);
typedef LRESULT(CALLBACK *SUBCLASSPROC)(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

typedef struct tagWNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXA;

/* lParam of WM_NCCREATE and WM_CREATE */
typedef struct tagCREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy, cx, y, x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
} CREATESTRUCTA;

/* lParam of WM_STYLECHANGING and WM_STYLECHANGED */
typedef struct tagSTYLESTRUCT {
    DWORD styleOld;
    DWORD styleNew;
} STYLESTRUCT;

#define TRUE 1
#define FALSE 0

#define MAKELONG(lo, hi) ((LONG)(((uint32_t)((uint16_t)(lo))) | (((uint32_t)((uint16_t)(hi))) << 16)))
#define LOWORD(l) ((uint16_t)((uintptr_t)(l) & 0xffff))
#define HIWORD(l) ((uint16_t)(((uintptr_t)(l) >> 16) & 0xffff))
#define MAKEINTATOM(i) ((LPCSTR)(uintptr_t)((uint16_t)(i)))

/* GetLastError codes */
#define ERROR_SUCCESS 0
#define ERROR_ACCESS_DENIED 5
#define ERROR_INVALID_PARAMETER 87
#define ERROR_MOD_NOT_FOUND 126
#define ERROR_INVALID_WINDOW_HANDLE 1400
#define ERROR_TLW_WITH_WSCHILD 1406
#define ERROR_CANNOT_FIND_WND_CLASS 1407
#define ERROR_CLASS_ALREADY_EXISTS 1410
#define ERROR_CLASS_DOES_NOT_EXIST 1411
#define ERROR_CLASS_HAS_WINDOWS 1412
#define ERROR_INVALID_INDEX 1413

/* messages */
#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_MOVE 0x0003
#define WM_SIZE 0x0005
#define WM_ACTIVATE 0x0006
#define WM_SETFOCUS 0x0007
#define WM_KILLFOCUS 0x0008
#define WM_GETTEXT 0x000D
#define WM_CLOSE 0x0010
#define WM_SHOWWINDOW 0x0018
#define WM_ACTIVATEAPP 0x001C
#define WM_WINDOWPOSCHANGING 0x0046
#define WM_WINDOWPOSCHANGED 0x0047
#define WM_STYLECHANGING 0x007C
#define WM_STYLECHANGED 0x007D
#define WM_NCCREATE 0x0081
#define WM_NCDESTROY 0x0082
#define WM_NCACTIVATE 0x0086
#define WM_SIZING 0x0214
#define WM_USER 0x0400

#define WA_INACTIVE 0
#define WA_ACTIVE 1

/* WM_SIZE wParam, WM_SIZING wParam */
#define SIZE_RESTORED 0
#define WMSZ_BOTTOMRIGHT 8

/* SetWindowPos */
#define SWP_NOSIZE 0x0001
#define SWP_NOMOVE 0x0002
#define SWP_NOZORDER 0x0004
#define SWP_NOREDRAW 0x0008
#define SWP_NOACTIVATE 0x0010
#define SWP_FRAMECHANGED 0x0020
#define SWP_SHOWWINDOW 0x0040
#define SWP_HIDEWINDOW 0x0080
#define SWP_NOCOPYBITS 0x0100
#define SWP_NOOWNERZORDER 0x0200
#define SWP_NOSENDCHANGING 0x0400

#define HWND_TOP ((HWND)0)
#define HWND_BOTTOM ((HWND)1)
#define HWND_TOPMOST ((HWND)-1)
#define HWND_NOTOPMOST ((HWND)-2)

/* ShowWindow */
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWNA 8
#define SW_RESTORE 9

/* window longs */
#define GWL_STYLE (-16)
#define GWL_EXSTYLE (-20)

/* styles */
#define WS_OVERLAPPED 0x00000000L
#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_MINIMIZE 0x20000000L
#define WS_CLIPSIBLINGS 0x04000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_DLGFRAME 0x00400000L
#define WS_SYSMENU 0x00080000L
#define WS_THICKFRAME 0x00040000L
#define WS_MINIMIZEBOX 0x00020000L
#define WS_MAXIMIZEBOX 0x00010000L
#define WS_OVERLAPPEDWINDOW 0x00CF0000L

#define WS_EX_DLGMODALFRAME 0x00000001L
#define WS_EX_TOPMOST 0x00000008L
#define WS_EX_TOOLWINDOW 0x00000080L
#define WS_EX_WINDOWEDGE 0x00000100L
#define WS_EX_CLIENTEDGE 0x00000200L
#define WS_EX_STATICEDGE 0x00020000L
#define WS_EX_APPWINDOW 0x00040000L

#define CW_USEDEFAULT ((int)0x80000000)

WINAPI_EXPORT ATOM WINAPI RegisterClassExA(const WNDCLASSEXA *wc);
WINAPI_EXPORT BOOL WINAPI UnregisterClassA(LPCSTR name, HINSTANCE inst);
WINAPI_EXPORT HWND WINAPI CreateWindowExA(DWORD exstyle, LPCSTR classname, LPCSTR title, DWORD style, int x, int y,
                                          int w, int h, HWND parent, HMENU menu, HINSTANCE inst, LPVOID param);
WINAPI_EXPORT BOOL WINAPI DestroyWindow(HWND hwnd);
WINAPI_EXPORT LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
WINAPI_EXPORT LRESULT WINAPI SendMessageA(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
WINAPI_EXPORT HMODULE WINAPI GetModuleHandleA(LPCSTR name);
WINAPI_EXPORT BOOL WINAPI EnumWindows(WNDENUMPROC proc, LPARAM lp);
WINAPI_EXPORT BOOL WINAPI IsWindow(HWND hwnd);
WINAPI_EXPORT BOOL WINAPI IsWindowVisible(HWND hwnd);
WINAPI_EXPORT BOOL WINAPI IsIconic(HWND hwnd);
WINAPI_EXPORT BOOL WINAPI GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT *wp);
WINAPI_EXPORT DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, DWORD *process);
WINAPI_EXPORT DWORD WINAPI GetCurrentProcessId(void);
WINAPI_EXPORT BOOL WINAPI GetClientRect(HWND hwnd, LPRECT r);
WINAPI_EXPORT BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT r);
WINAPI_EXPORT BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT pt);
WINAPI_EXPORT int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT pts, UINT count);
WINAPI_EXPORT BOOL WINAPI AdjustWindowRectEx(LPRECT r, DWORD style, BOOL menu, DWORD exstyle);
WINAPI_EXPORT BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags);
WINAPI_EXPORT LONG_PTR WINAPI GetWindowLongPtrA(HWND hwnd, int index);
WINAPI_EXPORT LONG_PTR WINAPI SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
WINAPI_EXPORT int WINAPI GetWindowTextA(HWND hwnd, LPSTR buf, int max);
WINAPI_EXPORT BOOL WINAPI ShowWindow(HWND hwnd, int cmd);
WINAPI_EXPORT HWND WINAPI GetActiveWindow(void);
WINAPI_EXPORT HWND WINAPI SetActiveWindow(HWND hwnd);
WINAPI_EXPORT BOOL WINAPI SetForegroundWindow(HWND hwnd);
WINAPI_EXPORT int WINAPI ShowCursor(BOOL show);
WINAPI_EXPORT DWORD WINAPI GetLastError(void);
WINAPI_EXPORT void WINAPI SetLastError(DWORD code);

/* COMCTL32 window subclassing */
WINAPI_EXPORT BOOL WINAPI SetWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data);
WINAPI_EXPORT BOOL WINAPI RemoveWindowSubclass(HWND hwnd, SUBCLASSPROC proc, UINT_PTR id);
WINAPI_EXPORT LRESULT WINAPI DefSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

#ifdef __cplusplus
}
#endif

#endif /* _WIN32 */

#endif
