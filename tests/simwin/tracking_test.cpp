// The maximum tracking size, SetForegroundWindow, and the z-order kept through
// many placements, creations and destructions.
#include <algorithm>
#include <random>

#include "recorder.h"

namespace simwin_test {
namespace {

using TrackingTest = SimwinTest;

RECT frame_of(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// As measured under Wine on a 1920x1080 screen: 1932x1092 at most, at
// creation and on every resize; pop-ups without a sizing frame are free.
TEST_F(TrackingTest, FramesStayWithinTheVirtualScreenPlusTwelve)
{
    HWND big = make_window("big", WS_OVERLAPPEDWINDOW, 0, RECT{10, 20, 4010, 3020});
    EXPECT_EQ(frame_of(big).right, 10 + 1932);
    EXPECT_EQ(frame_of(big).bottom, 20 + 1092);
    HWND popup = make_window("popup", WS_POPUP, 0, RECT{0, 0, 3000, 2000});
    EXPECT_EQ(frame_of(popup).right, 3000);

    simwin_set_virtual_screen(-800, 0, 2720, 1080);
    SetWindowPos(big, nullptr, 0, 0, 3000, 400, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(frame_of(big).right - frame_of(big).left, 2732);
    EXPECT_EQ(frame_of(big).bottom - frame_of(big).top, 400);
    simwin_user_resize(big, 5000, 5000);
    EXPECT_EQ(frame_of(big).right - frame_of(big).left, 2732);
    EXPECT_EQ(frame_of(big).bottom - frame_of(big).top, 1092);
    RECT client{};
    GetClientRect(big, &client);
    EXPECT_EQ(client.right, 2724);
    EXPECT_EQ(client.bottom, 1065);

    SetUp();
    EXPECT_EQ(frame_of(make_window("again", WS_OVERLAPPEDWINDOW, 0, RECT{0, 0, 4000, 3000})).right, 1932)
        << "a reset brings the default screen back";
}

TEST_F(TrackingTest, SetForegroundWindowIsAClick)
{
    HWND a = make_visible("a");
    HWND b = make_visible("b");
    HWND f = make_window("f");
    simwin_set_foreign(f, 1);
    ShowWindow(f, SW_SHOWNA);
    take();

    // Another application's window takes the foreground; this one's active
    // window is given back when the user returns.
    EXPECT_TRUE(SetForegroundWindow(f));
    EXPECT_LOG("b WM_ACTIVATE WA_INACTIVE to -", "b WM_ACTIVATEAPP 0", "a WM_ACTIVATEAPP 0");
    EXPECT_EQ(simwin_app_active(), 0);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    simwin_app_activate(1);
    EXPECT_EQ(GetActiveWindow(), b);
    take();

    // A click on a window of this application brings it back too.
    SetForegroundWindow(f);
    take();
    EXPECT_TRUE(SetForegroundWindow(a));
    EXPECT_LOG("b WM_ACTIVATEAPP 1", "a WM_ACTIVATEAPP 1", "a WM_ACTIVATE WA_ACTIVE from -");
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_TRUE(SetForegroundWindow(a));
    EXPECT_LOG();

    DestroyWindow(b);
    EXPECT_FALSE(SetForegroundWindow(b));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

// The z-order against a plain list doing the same, over many random steps.
TEST_F(TrackingTest, ZOrderMatchesAModelThroughRandomChanges)
{
    std::vector<HWND> model; // top first
    std::vector<bool> topmost;
    std::mt19937 random(7);
    auto pick = [&] { return model[random() % model.size()]; };
    auto band_end = [&] {
        size_t i = 0;
        while (i < model.size() && (GetWindowLongPtrA(model[i], GWL_EXSTYLE) & WS_EX_TOPMOST))
            ++i;
        return model.begin() + long(i);
    };
    for (int step = 0; step < 2000; ++step) {
        const unsigned what = model.size() < 4 ? 0 : random() % 5;
        if (what == 0) {
            HWND w = make_window("w");
            model.insert(band_end(), w);
        } else if (what == 1) {
            HWND w = pick();
            DestroyWindow(w);
            model.erase(std::find(model.begin(), model.end(), w));
        } else if (what == 2 || what == 3) {
            HWND w = pick();
            const bool up = what == 2;
            model.erase(std::find(model.begin(), model.end(), w));
            SetWindowPos(w, up ? HWND_TOPMOST : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            model.insert(up ? model.begin() : model.end(), w);
        } else {
            HWND w = pick();
            HWND after = pick();
            const bool same_band = (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) ==
                                   (GetWindowLongPtrA(after, GWL_EXSTYLE) & WS_EX_TOPMOST);
            if (after == w || !same_band)
                continue;
            model.erase(std::find(model.begin(), model.end(), w));
            SetWindowPos(w, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            model.insert(std::find(model.begin(), model.end(), after) + 1, w);
        }
        std::vector<HWND> seen;
        EnumWindows(
            [](HWND hwnd, LPARAM lp) {
                reinterpret_cast<std::vector<HWND> *>(lp)->push_back(hwnd);
                return TRUE;
            },
            LPARAM(&seen));
        ASSERT_EQ(seen, model) << "after step " << step;
    }
}

} // namespace
} // namespace simwin_test
