// Transcripts in the tests: the one way to state the lines expected, and
// their printing for the comparison with Wine.
#ifndef KORVEL_TESTS_TRANSCRIPT_H
#define KORVEL_TESTS_TRANSCRIPT_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "testkit.h"

// EXPECT_TRUE(same_lines(expected, actual)): on a mismatch both transcripts
// are printed as one line diff, the expected lines marked "-", the actual
// ones "+".
inline ::testing::AssertionResult same_lines(const std::vector<std::string> &expected,
                                             const std::vector<std::string> &actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "transcript (- expected, + actual):\n" << testkit::diff(expected, actual);
}

// EXPECT_TRUE(no_errors(lines)): on a failure the console errors among the
// lines are printed.
inline ::testing::AssertionResult no_errors(const std::vector<std::string> &lines)
{
    std::vector<std::string> errors;
    for (const std::string &line : lines)
        if (line.find("console error") != std::string::npos)
            errors.push_back(line);
    if (errors.empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "console errors:\n" << testkit::diff({}, errors);
}

// With KORVEL_TRANSCRIPTS=1 in the environment, the scenario tests print each
// transcript they play on stdout, marked, so that
// tests/scenarios/compare_transcripts.py can set the native transcript of a
// scenario against its transcript under Wine, line for line.
inline void print_transcript(const std::string &scenario, const std::vector<std::string> &lines)
{
    const char *wanted = std::getenv("KORVEL_TRANSCRIPTS");
    if (!wanted || std::strcmp(wanted, "1") != 0)
        return;
    std::printf("@transcript %s\n", scenario.c_str());
    for (const std::string &line : lines)
        std::printf("@| %s\n", line.c_str());
    std::fflush(stdout);
}

#endif
