// With KORVEL_TRANSCRIPTS=1 in the environment, the scenario tests print each
// transcript they play on stdout, marked, so that
// tests/scenarios/compare_transcripts.py can set the native transcript of a
// scenario against its transcript under Wine, line for line.
#ifndef KORVEL_TESTS_TRANSCRIPT_H
#define KORVEL_TESTS_TRANSCRIPT_H

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
