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
#include <memory>
#include <sstream>

#include "testkit.h"

namespace {

const char usage[] =
    "usage: korvel-sim [--pictures DIR] [--svg FILE] [--report FILE.html] [--echo] SCENARIO\n"
    "       korvel-sim [--pictures DIR] [--svg FILE] [--report FILE.html] [--echo] PATCH [SCENARIO]\n"
    "       korvel-sim --host list\n"
    "       korvel-sim --help\n";

const char about[] =
    "Loads the qzkorvel module into the simulated host, plays the scenario file\n"
    "and prints the transcript: one line per console line or outlet message.\n"
    "A PATCH (a .maxpat or .maxhelp file) is opened first, with a line for each\n"
    "vst~ box in it, and the host's queue runs until it is empty (at most 100\n"
    "passes), so that its objects bind.\n"
    "--pictures DIR: where \"snapshot FILE.svg\" writes its pictures (made when\n"
    "  missing); by default the pictures folder of the build, next to bin/.\n"
    "--svg FILE: writes a picture of the desktop as it is at the end, as SVG.\n"
    "--report FILE.html: writes the play as one page: a summary linking each\n"
    "  failure, each step with its lines, expectations marked, and a picture of\n"
    "  the desktop where it visibly changed.\n"
    "--echo: prints each scenario line (\"> LINE\") and comment before its effects.\n"
    "--host VARIANT: runs with a variant of the host's behaviour; repeatable.\n"
    "--host list: prints each variant with a line about it.\n"
    "Exit codes: 0 played and every expectation met, 1 a faulty line or patch\n"
    "file or an expectation not met, 2 wrong use.\n"
    "The module file is the one next to this program, or $KORVEL_MODULE.\n"
    "docs/SCENARIOS.md describes the scenario language.\n"
    "\n"
    "Scenario commands (BOX: a scripting name, CLASS#N, a file id such as\n"
    "obj-8, or a path into subpatchers such as obj-3/obj-8 or basics/synth):\n";

// Exit codes: 0 played, 1 the scenario or the module failed, 2 wrong use.
enum { played = 0, failed = 1, misused = 2 };

bool is_patch(const std::string &path);

struct Options {
    std::string svg, pictures, report, patch, scenario;
    bool echo = false;
    testkit::WorldOptions world;
};

// The options and files, or why they cannot be: the reason is printed
// before the usage.
std::string parse(int argc, char **argv, Options &o)
{
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string *value = arg == "--svg" ? &o.svg : arg == "--pictures" ? &o.pictures
                                                   : arg == "--report" ? &o.report : nullptr;
        if (value) {
            if (++i == argc || argv[i][0] == '\0')
                return arg + " needs a value";
            *value = argv[i];
        } else if (arg == "--echo") {
            o.echo = true;
        } else if (arg == "--host") {
            if (++i == argc || argv[i][0] == '\0')
                return arg + " needs a value";
            o.world.host.push_back(argv[i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty())
        return "no scenario or patch file given";
    if (files.size() > 2)
        return std::to_string(files.size()) + " files given; at most a patch and a scenario";
    if (files.size() == 2 && !is_patch(files[0]))
        return is_patch(files[1]) ? "the patch " + files[1] + " must come before the scenario " + files[0]
                                  : "two scenarios given (" + files[0] + ", " + files[1] +
                                        "); one plays at a time, after a patch (.maxpat, .maxhelp) if any";
    if (files.size() == 2 && is_patch(files[1]))
        return "two patches given (" + files[0] + ", " + files[1] + "); one opens at a time";
    o.patch = is_patch(files[0]) ? files[0] : "";
    o.scenario = files.size() == 2 ? files[1] : o.patch.empty() ? files[0] : "";
    return "";
}

// The build's pictures folder: bin/../pictures, beside the program (not
// the module's: $KORVEL_MODULE may name one inside an installed package).
std::string default_pictures()
{
    const std::filesystem::path bin(testkit::World::program_folder());
    return (bin.parent_path().parent_path() / "pictures").string();
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
    std::error_code error;
    const bool exists = std::filesystem::exists(path, error);
    std::cerr << "korvel-sim: cannot read " << path << (exists ? "" : ": no such file") << "\n" << usage;
    return false;
}

void write(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out)
        throw testkit::Error("cannot write the report " + path);
}

// Opens the patch, lists its vst~ boxes, lets it settle: the report's first
// step.
void open(testkit::World &world, const Options &o, const std::string &text, testkit::Player &player,
          testkit::Report *report)
{
    world.open_patch(text, o.patch);
    testkit::Player::Step step{0, "open " + o.patch, "", "", {}, {}};
    for (const std::string &box : world.vst_boxes())
        step.transcript.push_back("patch " + box);
    world.settle();
    for (const std::string &line : world.lines())
        step.transcript.push_back(line);
    for (const std::string &line : step.transcript)
        std::cout << line << std::endl;
    player.before(step.transcript);
    if (report)
        report->add(step, world.picture());
}

// The report's title: the files' names.
std::string title(const Options &o)
{
    const auto name = [](const std::string &path) { return std::filesystem::path(path).filename().string(); };
    if (o.patch.empty())
        return name(o.scenario);
    return o.scenario.empty() ? name(o.patch) : name(o.scenario) + " on " + name(o.patch);
}

// Plays, and writes the report even when the play stopped.
int play(testkit::World &world, const Options &o, const std::string &patch_text, const std::string &scenario_text)
{
    std::unique_ptr<testkit::Report> report;
    if (!o.report.empty())
        report = std::make_unique<testkit::Report>(title(o));
    testkit::Player player(world);
    player.echo(o.echo);
    if (report)
        player.observe([&](const testkit::Player::Step &step) { report->add(step, world.picture()); });
    int code = played;
    try {
        if (!o.patch.empty())
            open(world, o, patch_text, player, report.get());
        if (!o.scenario.empty())
            player.play(scenario_text, o.scenario, [](const std::string &line) { std::cout << line << std::endl; });
        for (const std::string &line : world.lines())
            std::cout << line << std::endl;
    } catch (const testkit::Unmet &e) {
        std::cerr << e.what() << "\n";
        code = failed;
    } catch (const testkit::Error &e) {
        std::cerr << e.what() << "\n";
        if (report)
            report->stop(e.what());
        code = failed;
    }
    // The picture shows where a failed run stopped, too.
    if (!o.svg.empty())
        world.snapshot(std::filesystem::absolute(o.svg).string());
    if (report)
        write(o.report, report->html());
    return code;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usage << about << testkit::Player::reference();
        return played;
    }
    if (argc == 3 && std::strcmp(argv[1], "--host") == 0 && std::strcmp(argv[2], "list") == 0) {
        for (const auto &variant : testkit::World::host_variants())
            std::cout << variant.first << "  " << variant.second << "\n";
        return played;
    }
    Options o;
    const std::string wrong = parse(argc, argv, o);
    if (!wrong.empty()) {
        std::cerr << "korvel-sim: " << wrong << "\n" << usage;
        return misused;
    }
    std::string patch_text, scenario_text;
    if ((!o.patch.empty() && !read(o.patch, patch_text)) || (!o.scenario.empty() && !read(o.scenario, scenario_text)))
        return misused;
    try {
        testkit::World world(o.world);
        std::string pictures = o.pictures.empty() ? default_pictures() : o.pictures;
        std::error_code error;
        std::filesystem::create_directories(pictures, error);
        if (error) {
            std::cerr << "korvel-sim: cannot make the pictures folder " << pictures << ": " << error.message() << "\n";
            return misused;
        }
        world.picture_directory(pictures);
        return play(world, o, patch_text, scenario_text);
    } catch (const testkit::Error &e) {
        std::cerr << e.what() << "\n";
        return failed;
    }
}
