// korvel-sim: loads the module into the simulated host, opens a Max patch
// file and plays a scenario file (either or both), printing the transcript:
// the console lines and the outlet messages.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "testkit.h"

namespace {

const char usage[] =
    "usage: korvel-sim [--pictures DIR] [--svg FILE] SCENARIO\n"
    "       korvel-sim [--pictures DIR] [--svg FILE] PATCH [SCENARIO]\n"
    "       korvel-sim --help\n";

const char about[] =
    "Loads the qzkorvel module into the simulated host, plays the scenario file\n"
    "and prints the transcript: one line per console line or outlet message.\n"
    "A PATCH (a .maxpat or .maxhelp file) is opened first, and the host's queue\n"
    "runs until it is empty (at most 100 passes), so that its objects bind.\n"
    "--pictures DIR: where \"snapshot FILE.svg\" writes its pictures (made when\n"
    "  missing); by default the pictures folder of the build, next to bin/.\n"
    "--svg FILE: writes a picture of the desktop as it is at the end, as SVG.\n"
    "The module file is the one next to this program, or $KORVEL_MODULE.\n"
    "docs/SCENARIOS.md describes the scenario language.\n"
    "\n"
    "Scenario commands (BOX: a scripting name, CLASS#N, a file id such as\n"
    "obj-8, or a path into subpatchers such as obj-3/obj-8 or basics/synth):\n";

// Exit codes: 0 played, 1 the scenario or the module failed, 2 wrong use.
enum { played = 0, failed = 1, misused = 2 };

// Takes "--NAME VALUE" out of the arguments, wherever it stands. False when
// VALUE is missing or empty.
bool take_option(int &argc, char **argv, const char *name, std::string &value)
{
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) != 0) {
            argv[kept++] = argv[i];
            continue;
        }
        if (++i == argc || argv[i][0] == '\0')
            return false;
        value = argv[i];
    }
    argc = kept;
    return true;
}

// The build's pictures folder: bin/../pictures, beside the program.
std::string default_pictures()
{
    const std::filesystem::path module(testkit::World::module_path());
    return (module.parent_path().parent_path() / "pictures").string();
}

// A Max patcher file, by its name.
bool is_patch(const std::string &path)
{
    std::string lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const std::string ext : {".maxpat", ".maxhelp"})
        if (lower.size() > ext.size() && lower.compare(lower.size() - ext.size(), ext.size(), ext) == 0)
            return true;
    return false;
}

bool read(const std::string &path, std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    text = content.str();
    if (in)
        return true;
    std::cerr << "korvel-sim: cannot read " << path << "\n";
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usage << about << testkit::Player::reference();
        return played;
    }
    std::string svg, pictures;
    if (!take_option(argc, argv, "--svg", svg) || !take_option(argc, argv, "--pictures", pictures) || argc < 2 ||
        argc > 3 || argv[1][0] == '-' ||
        (argc == 3 && (!is_patch(argv[1]) || argv[2][0] == '-'))) {
        std::cerr << usage;
        return misused;
    }
    const std::string patch = is_patch(argv[1]) ? argv[1] : "";
    const std::string path = argc == 3 ? argv[2] : patch.empty() ? argv[1] : "";
    std::string patch_text, scenario_text;
    if ((!patch.empty() && !read(patch, patch_text)) || (!path.empty() && !read(path, scenario_text)))
        return misused;
    int code = played;
    try {
        testkit::World world;
        if (pictures.empty())
            pictures = default_pictures();
        std::error_code error;
        std::filesystem::create_directories(pictures, error);
        if (error) {
            std::cerr << "korvel-sim: cannot make the pictures folder " << pictures << ": " << error.message() << "\n";
            return misused;
        }
        world.picture_directory(pictures);
        testkit::Player player(world);
        const auto print = [](const std::string &line) { std::cout << line << std::endl; };
        try {
            if (!patch.empty()) {
                world.open_patch(patch_text, patch);
                world.settle();
            }
            if (!path.empty())
                player.play(scenario_text, path, print);
            for (const std::string &line : world.lines())
                print(line);
        } catch (const testkit::Error &e) {
            std::cerr << e.what() << "\n";
            code = failed;
        }
        // The picture shows where a failed run stopped, too.
        if (!svg.empty())
            world.snapshot(std::filesystem::absolute(svg).string());
    } catch (const testkit::Error &e) {
        std::cerr << e.what() << "\n";
        return failed;
    }
    return code;
}
