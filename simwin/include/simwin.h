/* Control interface of the simulated window system (native builds only).
 *
 * The window system itself is the Win32 subset declared in
 * source/host/win_api.h, with Win32's behaviour. These extra calls do what
 * the user and the rest of the desktop do, and let tests make a call fail. */
#ifndef SIMWIN_H
#define SIMWIN_H

#include "win_api.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Destroys every window (without sending messages), unregisters every class,
 * clears injected faults, the cursor counter and the application state (no
 * window active; the first window activated brings the application to the
 * foreground, with WM_ACTIVATEAPP). Handles are never reused, so handles
 * from before the reset stay invalid. */
WINAPI_EXPORT void simwin_reset(void);

/* Makes the next `count` calls of the named Win32 function fail as Win32
 * reports failure (0 / NULL / FALSE), with no effect; the last error becomes
 * ERROR_ACCESS_DENIED. count < 0: every call until simwin_reset. Names are
 * the Win32 names: "SetWindowSubclass", "SetWindowLongPtrA",
 * "RegisterClassExA", "CreateWindowExA", ...; any other name aborts the
 * program, so that a misspelt name cannot make a test pass. Only calls made
 * by programs fail: work the window system does inside (DefWindowProcA's
 * WM_CLOSE destroying the window, say) goes on. */
WINAPI_EXPORT void simwin_fail(const char *call, int count);

/* What a user does with the mouse. A drag step: moves the frame of hwnd so
 * that its top-left corner is at (x, y), as Windows does during a drag
 * (WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE). */
WINAPI_EXPORT void simwin_user_move(HWND hwnd, int x, int y);
/* A resize by the frame's border: WM_SIZING, then the frame, laid out from
 * the window's present styles, gets the new client size
 * (WM_WINDOWPOSCHANGED, WM_SIZE, and WM_MOVE when the client area moved). */
WINAPI_EXPORT void simwin_user_resize(HWND hwnd, int client_width, int client_height);
/* The close button: WM_CLOSE to the window. */
WINAPI_EXPORT void simwin_user_close(HWND hwnd);

/* The application goes to the background (active 0) or comes back (1):
 * WM_ACTIVATEAPP to every top-level window of the application, and the
 * active window is lost (WM_ACTIVATE WA_INACTIVE) or given back. On return
 * activation goes to the window that was active, even when it is hidden
 * now; when it has gone, to the highest visible window of the application;
 * with neither there is nothing to return to. Nothing happens when the state
 * does not change. (A window of the application that is activated while it
 * is in the background brings it back the same way, as under Wine.) */
WINAPI_EXPORT void simwin_app_activate(int active);
WINAPI_EXPORT int simwin_app_active(void);

/* Marks hwnd as a window of another application (foreign nonzero) or of this
 * one. A foreign window never takes activation from this application and
 * gets no WM_ACTIVATEAPP when this application is switched; EnumWindows
 * still lists it. SetForegroundWindow on it (the user clicks it) sends this
 * application to the background, as simwin_app_activate(0) does. */
WINAPI_EXPORT void simwin_set_foreign(HWND hwnd, int foreign);

/* The virtual screen, the union of the displays (x y width height): Win32
 * keeps the frame of an overlapped or sizing window within it plus twice
 * the sizing frame and 4 (SM_CXMAXTRACK, SM_CYMAXTRACK), at creation and on
 * every resize. 0 0 1920 1080 after simwin_reset. */
WINAPI_EXPORT void simwin_set_virtual_screen(int x, int y, int width, int height);

/* ShowCursor's display counter. */
WINAPI_EXPORT int simwin_cursor_count(void);

/* How many times a window has been visible since its creation began
 * (each hidden-to-visible change counts). */
WINAPI_EXPORT int simwin_times_shown(HWND hwnd);

/* A window's title, as SetWindowTextA would set it; no message is sent. */
WINAPI_EXPORT void simwin_set_title(HWND hwnd, const char *title);

#ifdef __cplusplus
}
#endif

#endif
