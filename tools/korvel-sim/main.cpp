// korvel-sim: loads the module into the simulated host and plays a scenario
// file, printing the transcript: the console lines and the outlet messages.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>

#include "testkit.h"

namespace {

const char usage[] =
    "usage: korvel-sim SCENARIO\n"
    "Loads the qzkorvel module into the simulated host, plays the scenario file\n"
    "and prints the transcript: one line per console line or outlet message.\n"
    "The module file is the one next to this program, or $KORVEL_MODULE.\n";

// Exit codes: 0 played, 1 the scenario or the module failed, 2 wrong use.
enum { played = 0, failed = 1, misused = 2 };

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usage;
        return played;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::cerr << usage;
        return misused;
    }
    const std::string path = argv[1];
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        std::cerr << "korvel-sim: cannot read " << path << "\n";
        return misused;
    }
    try {
        testkit::World world;
        testkit::Player player(world);
        player.play(text.str(), path, [](const std::string &line) { std::cout << line << std::endl; });
    } catch (const testkit::Error &e) {
        std::cerr << e.what() << "\n";
        return failed;
    }
    return played;
}
