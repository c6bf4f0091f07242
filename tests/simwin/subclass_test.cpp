// The subclass chain: order, updates, and entries that come and go while a
// message is on its way down.
#include "recorder.h"

namespace simwin_test {
namespace {

using SubclassTest = SimwinTest;

void note_call(const char *who, UINT_PTR id, UINT msg)
{
    note(std::string(who) + std::to_string(id) + " " + message_name(msg));
}

LRESULT CALLBACK sub(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data)
{
    note_call("sub", id, msg);
    return DefSubclassProc(hwnd, msg, wp, lp) + LRESULT(data);
}

LRESULT CALLBACK remove_self(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR)
{
    note_call("remove_self", id, msg);
    EXPECT_TRUE(RemoveWindowSubclass(hwnd, remove_self, id));
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// Removes the entry of `sub` whose id is its data.
LRESULT CALLBACK remove_other(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data)
{
    note_call("remove_other", id, msg);
    EXPECT_TRUE(RemoveWindowSubclass(hwnd, sub, data));
    return DefSubclassProc(hwnd, msg, wp, lp);
}

// Sends a second message before passing the first on; on the second it
// removes `sub` 1, which both messages would reach next.
LRESULT CALLBACK nesting(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR)
{
    note_call("nesting", id, msg);
    if (msg == WM_USER)
        SendMessageA(hwnd, WM_USER + 1, 0, 0);
    else
        RemoveWindowSubclass(hwnd, sub, 1);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK adding(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR)
{
    note_call("adding", id, msg);
    SetWindowSubclass(hwnd, sub, 5, 0);
    return DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT CALLBACK observer(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR)
{
    note_call("observer", id, msg);
    if (msg == WM_DESTROY) {
        EXPECT_TRUE(RemoveWindowSubclass(hwnd, observer, id));
    }
    return DefSubclassProc(hwnd, msg, wp, lp);
}

HWND subject()
{
    HWND w = make_window("w");
    take();
    return w;
}

TEST_F(SubclassTest, TheNewestEntryRunsFirstAndAnEntryIsKeyedByProcedureAndId)
{
    HWND w = subject();
    g_react = [](HWND, UINT msg, WPARAM, LPARAM, LRESULT *r) {
        *r = 100;
        return msg == WM_USER;
    };
    ASSERT_TRUE(SetWindowSubclass(w, sub, 1, 0));
    ASSERT_TRUE(SetWindowSubclass(w, sub, 2, 20));
    ASSERT_TRUE(SetWindowSubclass(w, sub, 1, 3));
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 123);
    EXPECT_LOG("sub2 0x0400", "sub1 0x0400", "w 0x0400");

    EXPECT_FALSE(RemoveWindowSubclass(w, sub, 3));
    EXPECT_FALSE(RemoveWindowSubclass(w, remove_self, 1));
    EXPECT_TRUE(RemoveWindowSubclass(w, sub, 2));
    EXPECT_FALSE(RemoveWindowSubclass(w, sub, 2));
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 103);
    EXPECT_LOG("sub1 0x0400", "w 0x0400");

    EXPECT_FALSE(SetWindowSubclass(reinterpret_cast<HWND>(uintptr_t(0x4444)), sub, 1, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(SubclassTest, EntriesRemovedDuringACallAreSkipped)
{
    HWND w = subject();
    SetWindowSubclass(w, sub, 2, 0);
    SetWindowSubclass(w, sub, 1, 0);
    SetWindowSubclass(w, remove_self, 10, 0);
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_LOG("remove_self10 0x0400", "sub1 0x0400", "sub2 0x0400", "w 0x0400");
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_LOG("sub1 0x0400", "sub2 0x0400", "w 0x0400");

    SetWindowSubclass(w, remove_other, 20, 1);
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_LOG("remove_other20 0x0400", "sub2 0x0400", "w 0x0400");
}

TEST_F(SubclassTest, NestedMessagesEachKeepTheirPlaceInTheChain)
{
    HWND w = subject();
    SetWindowSubclass(w, sub, 1, 0);
    SetWindowSubclass(w, nesting, 30, 0);
    SendMessageA(w, WM_USER, 0, 0);
    EXPECT_LOG("nesting30 0x0400", "nesting30 0x0401", "w 0x0401", "w 0x0400");

    SetWindowSubclass(w, adding, 40, 0);
    SendMessageA(w, WM_USER + 2, 0, 0);
    EXPECT_LOG("adding40 0x0402", "nesting30 0x0402", "w 0x0402");
    SendMessageA(w, WM_USER + 2, 0, 0);
    EXPECT_LOG("sub5 0x0402", "adding40 0x0402", "nesting30 0x0402", "w 0x0402");
}

TEST_F(SubclassTest, DestructionReachesTheChainAndThenClearsIt)
{
    HWND w = subject();
    SetWindowSubclass(w, sub, 1, 0);
    SetWindowSubclass(w, observer, 2, 0);
    EXPECT_TRUE(DestroyWindow(w));
    EXPECT_LOG("observer2 WM_DESTROY", "sub1 WM_DESTROY", "w WM_DESTROY", "sub1 WM_NCDESTROY", "w WM_NCDESTROY");
    EXPECT_FALSE(RemoveWindowSubclass(w, sub, 1));
    EXPECT_EQ(DefSubclassProc(w, WM_USER, 0, 0), 0);

    // A subclass that destroys its window and then passes the message on.
    HWND v = subject();
    SetWindowSubclass(v, sub, 1, 0);
    SetWindowSubclass(
        v,
        [](HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) -> LRESULT {
            if (msg == WM_USER)
                DestroyWindow(hwnd);
            return DefSubclassProc(hwnd, msg, wp, lp);
        },
        9, 0);
    take();
    EXPECT_EQ(SendMessageA(v, WM_USER, 0, 0), 0);
    EXPECT_LOG("sub1 WM_DESTROY", "w WM_DESTROY", "sub1 WM_NCDESTROY", "w WM_NCDESTROY");
    EXPECT_FALSE(IsWindow(v));
}

} // namespace
} // namespace simwin_test
