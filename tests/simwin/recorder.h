// Test support: windows whose procedure writes every message it gets to one
// log, so that a test states the messages it expects as a table.
#ifndef SIMWIN_TEST_RECORDER_H
#define SIMWIN_TEST_RECORDER_H

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "simwin.h"

namespace simwin_test {

// The four SetWindowPos flag sets the module uses: topmost, move, show, hide.
// None sizes the window or activates it.
constexpr UINT k_swp_topmost = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
constexpr UINT k_swp_move = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
constexpr UINT k_swp_show =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_NOSENDCHANGING;
constexpr UINT k_swp_hide =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW | SWP_NOSENDCHANGING;

using Lines = std::vector<std::string>;

// A procedure's own answer to a message; returning true skips DefWindowProcA.
using Reaction = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT *)>;

std::string message_name(UINT msg);
std::string describe(const char *who, UINT msg, WPARAM wp, LPARAM lp);

// The log as one line per message, emptied.
std::string take();
std::string joined(const Lines &lines);
void note(const std::string &line);

HWND make_window(const char *title, DWORD style = WS_OVERLAPPEDWINDOW, DWORD exstyle = 0,
                 RECT frame = RECT{100, 100, 500, 400});
HWND make_visible(const char *title, DWORD exstyle = 0);
// A class of that name whose windows do what DefWindowProcA does.
WNDCLASSEXA class_named(const char *name);
std::string title_of(HWND hwnd);
HWND find_titled(const char *title);
// Top-level windows from the top down, by title.
std::string order();

// What the recording procedure does besides logging; cleared for each test.
extern Reaction g_react;

class SimwinTest : public ::testing::Test {
  protected:
    void SetUp() override;
};

} // namespace simwin_test

#define EXPECT_LOG(...) EXPECT_EQ(::simwin_test::take(), ::simwin_test::joined(::simwin_test::Lines{__VA_ARGS__}))

#endif
