// SetWindowPos: which calls change something and send WM_WINDOWPOSCHANGED,
// the z-order bands, and EnumWindows.
#include "recorder.h"

namespace simwin_test {
namespace {

using ZOrderTest = SimwinTest;

struct Step {
    const char *what;
    std::function<void()> act;
    Lines expected;
};

void run(const std::vector<Step> &steps)
{
    for (const auto &step : steps) {
        SCOPED_TRACE(step.what);
        step.act();
        EXPECT_EQ(take(), joined(step.expected));
    }
}

// As measured under Wine with the four flag sets the module uses.
TEST_F(ZOrderTest, FlagSetsSendChangedExactlyWhenSomethingChanges)
{
    HWND o = make_visible("o");
    HWND e = make_visible("e");
    take();
    const char *changed_z = "e WM_WINDOWPOSCHANGED nomove nosize noactivate noclientsize noclientmove";
    const char *hidden = "e WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate hide noclientsize noclientmove";
    const char *shown = "e WM_WINDOWPOSCHANGED nomove nosize nozorder noactivate show noclientsize noclientmove";
    auto pos = [e](HWND after, int x, int y, UINT flags) {
        return [=] { EXPECT_TRUE(SetWindowPos(e, after, x, y, 0, 0, flags)); };
    };
    run({
        {"topmost", pos(HWND_TOPMOST, 0, 0, k_swp_topmost), {"e WM_WINDOWPOSCHANGING", changed_z}},
        {"topmost again", pos(HWND_TOPMOST, 0, 0, k_swp_topmost), {"e WM_WINDOWPOSCHANGING"}},
        {"move",
         pos(nullptr, 300, 200, k_swp_move),
         {"e WM_WINDOWPOSCHANGING", "e WM_WINDOWPOSCHANGED nosize nozorder noactivate noclientsize", "e WM_MOVE 304,223"}},
        {"move to the same place", pos(nullptr, 300, 200, k_swp_move), {"e WM_WINDOWPOSCHANGING"}},
        {"hide", pos(nullptr, 0, 0, k_swp_hide), {hidden}},
        {"hide hidden", pos(nullptr, 0, 0, k_swp_hide), {}},
        {"show", pos(nullptr, 0, 0, k_swp_show), {shown}},
        {"show shown", pos(nullptr, 0, 0, k_swp_show), {}},
    });
    EXPECT_EQ(GetWindowLongPtrA(e, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    EXPECT_EQ(GetActiveWindow(), e) << "hiding with SWP_NOACTIVATE leaves the window active";

    SetActiveWindow(o);
    take();
    run({
        {"hide", pos(nullptr, 0, 0, k_swp_hide), {hidden}},
        {"show", pos(nullptr, 0, 0, k_swp_show), {shown}},
    });
    EXPECT_EQ(GetActiveWindow(), o);
    EXPECT_EQ(order(), "e o");
}

TEST_F(ZOrderTest, WindowsKeepToTheirBandUnlessMovedOutOfIt)
{
    HWND a = make_window("a");
    HWND b = make_window("b");
    HWND c = make_window("c");
    HWND d = make_window("d", WS_OVERLAPPEDWINDOW, WS_EX_TOPMOST);
    make_window("n");
    EXPECT_EQ(order(), "d n c b a");
    DestroyWindow(find_titled("n"));
    take();

    // HWND_TOP counts as done only for the very first window: a window at
    // the top of its band below a topmost one is "moved" every time.
    const struct {
        HWND hwnd, after;
        const char *order;
        bool changed;
    } steps[] = {
        {a, HWND_TOP, "d a c b", true},
        {a, HWND_TOP, "d a c b", true},
        {d, HWND_BOTTOM, "a c b d", true},
        {b, HWND_TOPMOST, "b a c d", true},
        {c, b, "b c a d", true},
        {b, HWND_NOTOPMOST, "b c a d", true},
        {c, HWND_NOTOPMOST, "b c a d", false},
        {a, c, "b c a d", false},
        {b, a, "c a b d", true},
        {d, d, "c a b d", false},
        {c, HWND_TOP, "c a b d", false},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(testing::Message() << title_of(s.hwnd) << " after " << s.after);
        EXPECT_TRUE(SetWindowPos(s.hwnd, s.after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
        EXPECT_EQ(order(), s.order);
        EXPECT_EQ(take().find("WM_WINDOWPOSCHANGED") != std::string::npos, s.changed);
    }
    EXPECT_EQ(GetWindowLongPtrA(b, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(GetWindowLongPtrA(d, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_FALSE(SetWindowPos(a, reinterpret_cast<HWND>(uintptr_t(0x7777)), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(ZOrderTest, EnumWindowsWalksTheOrderAsItWasWhenItStarted)
{
    make_window("a");
    make_window("b");
    HWND f = make_window("f");
    simwin_set_foreign(f, 1);
    ShowWindow(f, SW_SHOWNA);
    EXPECT_EQ(order(), "f b a");

    struct Visit {
        std::string seen;
        int stop_after;
    } visit{"", 0};
    auto proc = [](HWND hwnd, LPARAM lp) -> BOOL {
        auto *v = reinterpret_cast<Visit *>(lp);
        v->seen += title_of(hwnd) + " ";
        if (v->seen == "f ") {
            make_window("new");
            DestroyWindow(find_titled("b"));
        }
        return --v->stop_after != 0;
    };
    EXPECT_TRUE(EnumWindows(proc, LPARAM(&visit)));
    EXPECT_EQ(visit.seen, "f a ");
    EXPECT_EQ(order(), "new f a");

    visit = Visit{"", 2};
    EXPECT_FALSE(EnumWindows(proc, LPARAM(&visit)));
    EXPECT_EQ(visit.seen, "new f ");
}

} // namespace
} // namespace simwin_test
