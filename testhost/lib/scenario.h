// Scenario files for the command-line test host: a human-writable sequence of calls (format in
// testhost/README.md).
#pragma once

#include "testhost.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

namespace veltrano::testhost {

// One argument as written; variables and files are resolved when the step runs.
struct ScenarioArg {
    enum class Kind { Literal, Variable, File };
    Kind kind = Kind::Literal;
    Value value;        // Literal
    std::string name;   // Variable (without '$') or File (path as written)
    std::string source; // the argument as written, for the echo
};

struct ScenarioStep {
    enum class Kind { Call, CallProc, GetProp, SetProp, Let };
    Kind kind = Kind::Call;
    int line = 0;     // 1-based line of the step in the file
    std::string name; // method, property or variable name
    std::vector<ScenarioArg> args;
    std::string echo; // the step as written (first line)
};

struct Scenario {
    std::filesystem::path baseFolder; // @file paths are relative to it
    std::vector<ScenarioStep> steps;
};

// Parses a scenario text; throws std::runtime_error "line N: ..." on a malformed line.
Scenario ParseScenario(std::string_view text, const std::filesystem::path& baseFolder = {});
Scenario LoadScenario(const std::filesystem::path& file);

// Runs a scenario on one component object, printing each step's outcome. Variables: $id is set from the first
// out-parameter of a successful ПодключитьОборудование / ConnectEquipment; `let` sets any other. Throws
// std::runtime_error for an unknown method or property, an undefined variable or an unreadable file.
class ScenarioRunner {
public:
    ScenarioRunner(Component& component, std::ostream& out) : component_(component), out_(out) {}
    void Run(const Scenario& scenario);
    // Texts longer than this many lines are cut in the output (0: print everything).
    void SetMaxLines(std::size_t lines) { maxLines_ = lines; }
    const std::map<std::string, std::string>& Variables() const { return variables_; }
    // A command of the program that runs the scenario: a call step with its name runs the command, with the
    // step's arguments resolved, instead of a method of the component.
    using Command = std::function<void(const std::vector<Value>& args, std::ostream& out)>;
    void AddCommand(std::string name, Command command) { commands_[std::move(name)] = std::move(command); }

private:
    Value Resolve(const ScenarioArg& arg, const Scenario& scenario) const;
    void RunStep(const ScenarioStep& step, const Scenario& scenario, int number);

    Component& component_;
    std::ostream& out_;
    std::map<std::string, std::string> variables_;
    std::map<std::string, Command> commands_;
    std::size_t maxLines_ = 0;
};

// A value as the runner prints it: texts quoted on one line, or as an indented block when they span lines
// (cut after maxLines lines when maxLines is not 0).
std::string DescribeValue(const Value& value, const std::string& indent, std::size_t maxLines = 0);

} // namespace veltrano::testhost
