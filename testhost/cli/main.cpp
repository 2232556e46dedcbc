// veltrano-host: runs a scenario file against the add-in module, as the platform would call it.
#include "scenario.h"
#include "show_file.h"
#include "testhost.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

namespace {

void Usage(std::ostream& out) {
    out << "Usage: veltrano-host [--module PATH] [--data DIR] [--max-lines N] SCENARIO\n"
           "\n"
           "Loads the add-in module, creates one Veltrano component object and runs the scenario's calls,\n"
           "printing each call's Boolean, result, out-parameters and last error.\n"
           "\n"
           "  --module PATH  the add-in module (default: "
        << veltrano::testhost::DefaultModulePath()
        << ")\n"
           "  --data DIR     data folder: XDG_DATA_HOME is set to it before the module loads (the log and "
           "the\n"
           "                 fiscal storage live under DIR/Korvena/Veltrano); default: a new temporary "
           "folder\n"
           "  --class NAME   class to create (default: Veltrano)\n"
           "  --max-lines N  show at most N lines of each multi-line text (default: all)\n"
           "\n"
           "Steps run in the data folder (the working directory), so a relative PrintOutFilePath lands "
           "there;\n"
           "the step  show \"FILE\"  prints a file of the data folder, the step  pause N  waits N seconds.\n"
           "The scenario format is described in\n"
           "testhost/README.md.\n";
}

// One line on standard error that says what went wrong and what to do; the exit code of a usage error.
int Fail(const std::string& what, const std::string& todo) {
    std::cerr << "veltrano-host: " << what << "; " << todo << "\n";
    return 2;
}

const char* const SeeHelp = "see veltrano-host --help";

} // namespace

int main(int argc, char** argv) {
    std::string modulePath = veltrano::testhost::DefaultModulePath();
    std::string dataFolder;
    std::string className = "Veltrano";
    std::string scenarioFile;
    std::size_t maxLines = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&](const char* option) -> std::string {
            if (i + 1 >= argc)
                std::exit(Fail(std::string(option) + " needs a value", SeeHelp));
            return argv[++i];
        };
        if (arg == "-h" || arg == "--help") {
            Usage(std::cout);
            return 0;
        } else if (arg == "--module") {
            modulePath = next("--module");
        } else if (arg == "--data") {
            dataFolder = next("--data");
        } else if (arg == "--max-lines") {
            const std::string value = next("--max-lines");
            char* end = nullptr;
            const unsigned long lines = std::strtoul(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0')
                return Fail("--max-lines needs a whole number, not \"" + value + "\"",
                            "for example --max-lines 24");
            maxLines = lines;
        } else if (arg == "--class") {
            className = next("--class");
        } else if (!arg.empty() && arg[0] == '-') {
            return Fail("unknown option " + arg, SeeHelp);
        } else if (scenarioFile.empty()) {
            scenarioFile = arg;
        } else {
            return Fail("only one scenario file may be given, not also " + arg, SeeHelp);
        }
    }
    if (scenarioFile.empty())
        return Fail("no scenario file given", "run veltrano-host SCENARIO (" + std::string(SeeHelp) + ")");

    // The steps run in the data folder: files the scenario names stay where they were.
    veltrano::testhost::Scenario scenario;
    try {
        scenario = veltrano::testhost::LoadScenario(scenarioFile);
    } catch (const std::exception& error) {
        return Fail(error.what(), "give a readable scenario file (the format is in testhost/README.md)");
    }

    std::error_code failure;
    if (dataFolder.empty()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "veltrano-host-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            return Fail(std::string("cannot create a temporary data folder: ") + std::strerror(errno),
                        "name a folder you can write with --data DIR");
        dataFolder = pattern;
        std::cout << "Data folder (temporary, kept): " << dataFolder << "\n";
    } else {
        std::filesystem::create_directories(dataFolder, failure);
        if (!failure)
            dataFolder = std::filesystem::absolute(dataFolder, failure).string();
        if (failure)
            return Fail("cannot use the data folder " + dataFolder + ": " + failure.message(),
                        "name a folder you can write with --data DIR");
        std::cout << "Data folder: " << dataFolder << "\n";
    }
    modulePath = std::filesystem::absolute(modulePath).string();
    setenv("XDG_DATA_HOME", dataFolder.c_str(), 1);
    std::filesystem::current_path(dataFolder, failure);
    if (failure)
        return Fail("cannot work in the data folder " + dataFolder + ": " + failure.message(),
                    "name a folder you can write with --data DIR");

    std::unique_ptr<veltrano::testhost::TestHost> loaded;
    try {
        loaded = std::make_unique<veltrano::testhost::TestHost>(modulePath);
    } catch (const std::exception& error) {
        return Fail(error.what(), "build the module (scripts/demo.sh) or name it with --module PATH");
    }
    veltrano::testhost::TestHost& host = *loaded;

    try {
        std::cout << "Module: " << host.GetModule().Path() << "\n"
                  << "Class names: " << host.GetModule().ClassNames() << "\n";
        auto component = host.Create(className);
        if (!component) {
            std::cerr << "veltrano-host: GetClassObject(\"" << className << "\") answered 0\n";
            return 1;
        }
        std::cout << "Component: " << component->ExtensionName() << ", " << component->NMethods()
                  << " methods, " << component->NProps() << " properties\n\n";

        veltrano::testhost::ScenarioRunner runner(*component, std::cout);
        runner.SetMaxLines(maxLines);
        runner.AddCommand("show", [&](const std::vector<veltrano::testhost::Value>& args, std::ostream& out) {
            veltrano::testhost::ShowDataFile(dataFolder, args, out);
        });
        // Gives a person time to look at the windows the steps before opened.
        runner.AddCommand("pause", [](const std::vector<veltrano::testhost::Value>& args, std::ostream& out) {
            const std::int64_t seconds = args.empty() ? 0 : std::clamp<std::int64_t>(args[0].integer, 0, 600);
            out << "(" << seconds << " s)\n";
            std::this_thread::sleep_for(std::chrono::seconds(seconds));
        });
        runner.Run(scenario);
        component->Destroy();
        std::cout << "\nDone: " << scenario.steps.size() << " steps.\n";
        if (host.Memory().Outstanding() != 0)
            std::cout << "Host memory still held by the add-in: " << host.Memory().Outstanding()
                      << " blocks\n";
        return 0;
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "veltrano-host: " << error.what() << "\n";
        return 1;
    }
}
