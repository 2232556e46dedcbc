// Scenario files: parsing and running (format in testhost/README.md).
#include "scenario.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <ostream>
#include <sstream>
#include <stdexcept>

namespace veltrano::testhost {

namespace {

[[noreturn]] void Fail(int line, const std::string& message) {
    throw std::runtime_error("line " + std::to_string(line) + ": " + message);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string Trim(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\n'))
        text.remove_suffix(1);
    return std::string(text);
}

struct Token {
    std::string text;
    bool quoted = false;
};

// Splits a line into tokens: blanks separate them, "..." is one token with \" \\ \n \r \t escapes, # outside
// quotes starts a comment; @"..." keeps its quotes inside the token's text after the @.
std::vector<Token> Tokenize(std::string_view line, int lineNumber) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (IsBlank(line[i])) {
            ++i;
            continue;
        }
        if (line[i] == '#')
            break;
        Token token;
        std::string prefix;
        if (line[i] == '@' && i + 1 < line.size() && line[i + 1] == '"') {
            prefix = "@";
            ++i;
        }
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < line.size()) {
                const char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) {
                    const char e = line[i++];
                    switch (e) {
                    case 'n':
                        token.text.push_back('\n');
                        break;
                    case 'r':
                        token.text.push_back('\r');
                        break;
                    case 't':
                        token.text.push_back('\t');
                        break;
                    default:
                        token.text.push_back(e);
                        break;
                    }
                } else {
                    token.text.push_back(c);
                }
            }
            if (!closed)
                Fail(lineNumber, "a quoted text is not closed");
            if (i < line.size() && !IsBlank(line[i]) && line[i] != '#')
                Fail(lineNumber, "a quoted text must be followed by a blank");
            token.text = prefix + token.text;
            token.quoted = prefix.empty();
            tokens.push_back(std::move(token));
            continue;
        }
        while (i < line.size() && !IsBlank(line[i]))
            token.text.push_back(line[i++]);
        tokens.push_back(std::move(token));
    }
    return tokens;
}

bool AllDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::optional<Value> ParseNumber(const std::string& token) {
    std::string_view body = token;
    if (!body.empty() && (body.front() == '-' || body.front() == '+'))
        body.remove_prefix(1);
    const bool wide = !body.empty() && body.back() == 'L';
    if (wide)
        body.remove_suffix(1);
    if (AllDigits(body)) {
        errno = 0;
        const std::string digits = token.substr(0, token.size() - (wide ? 1 : 0));
        const long long number = std::strtoll(digits.c_str(), nullptr, 10);
        if (errno == ERANGE)
            return std::nullopt;
        if (!wide && number >= std::numeric_limits<std::int32_t>::min() &&
            number <= std::numeric_limits<std::int32_t>::max())
            return Value::Int(static_cast<std::int32_t>(number));
        return Value::Int64(number);
    }
    if (wide)
        return std::nullopt;
    // A decimal with a full stop and/or an exponent.
    bool digits = false;
    bool dot = false;
    std::size_t k = 0;
    while (k < body.size() && ((body[k] >= '0' && body[k] <= '9') || (body[k] == '.' && !dot))) {
        if (body[k] == '.')
            dot = true;
        else
            digits = true;
        ++k;
    }
    bool exponent = false;
    if (digits && k < body.size() && (body[k] == 'e' || body[k] == 'E')) {
        ++k;
        if (k < body.size() && (body[k] == '+' || body[k] == '-'))
            ++k;
        exponent = AllDigits(body.substr(k));
        k = exponent ? body.size() : k;
    }
    if (!digits || k != body.size() || (!dot && !exponent))
        return std::nullopt;
    char* end = nullptr;
    const double number = std::strtod(token.c_str(), &end);
    if (end != token.c_str() + token.size())
        return std::nullopt;
    return Value::Double(number);
}

bool ValidName(std::string_view name) {
    if (name.empty())
        return false;
    for (const char c : name)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

// Turns a token into an argument; heredoc markers are handled by the caller.
ScenarioArg MakeArg(const Token& token, int line) {
    ScenarioArg arg;
    arg.source = token.quoted ? "\"" + token.text + "\"" : token.text;
    if (token.quoted) {
        arg.value = Value::Text(token.text);
        return arg;
    }
    const std::string& t = token.text;
    if (t == "_") {
        arg.value = Value::Empty();
    } else if (t == "null") {
        arg.value = Value::Null();
    } else if (t == "true" || t == "false") {
        arg.value = Value::Bool(t == "true");
    } else if (t.front() == '$') {
        if (!ValidName(std::string_view(t).substr(1)))
            Fail(line, "bad variable name " + t);
        arg.kind = ScenarioArg::Kind::Variable;
        arg.name = t.substr(1);
    } else if (t.front() == '@') {
        if (t.size() == 1)
            Fail(line, "@ needs a file name");
        arg.kind = ScenarioArg::Kind::File;
        arg.name = t.substr(1);
    } else if (auto number = ParseNumber(t)) {
        arg.value = *number;
    } else {
        Fail(line, "cannot read the argument " + t + " (texts are written in double quotes)");
    }
    return arg;
}

std::string ReadWholeFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string() + ": " + std::strerror(errno));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool SameValue(const Value& a, const Value& b) {
    return a.vt == b.vt && a.boolean == b.boolean && a.integer == b.integer &&
           (a.number == b.number || (a.number != a.number && b.number != b.number)) && a.text == b.text;
}

bool IsMethod(std::string_view name, std::string_view russian, std::string_view english) {
    return name == russian || name == english;
}

} // namespace

Scenario ParseScenario(std::string_view text, const std::filesystem::path& baseFolder) {
    Scenario scenario;
    scenario.baseFolder = baseFolder;
    std::vector<std::string> lines;
    {
        std::size_t start = 0;
        while (start <= text.size()) {
            const std::size_t end = text.find('\n', start);
            std::string line(
                text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(std::move(line));
            if (end == std::string_view::npos)
                break;
            start = end + 1;
        }
    }
    // A UTF-8 byte order mark at the start is not part of the first line.
    if (!lines.empty() && lines.front().rfind("\xEF\xBB\xBF", 0) == 0)
        lines.front().erase(0, 3);

    std::size_t index = 0;
    while (index < lines.size()) {
        const int lineNumber = static_cast<int>(index) + 1;
        const std::string& line = lines[index++];
        std::vector<Token> tokens = Tokenize(line, lineNumber);
        if (tokens.empty())
            continue;

        ScenarioStep step;
        step.line = lineNumber;
        step.echo = Trim(line);
        std::size_t first = 1;
        const std::string head = tokens[0].quoted ? std::string() : tokens[0].text;
        if (head == "let") {
            // let $name = ARG
            if (tokens.size() != 4 || tokens[1].text.size() < 2 || tokens[1].text.front() != '$' ||
                tokens[2].text != "=")
                Fail(lineNumber, "write: let $name = value");
            step.kind = ScenarioStep::Kind::Let;
            step.name = tokens[1].text.substr(1);
            if (!ValidName(step.name))
                Fail(lineNumber, "bad variable name " + tokens[1].text);
            first = 3;
        } else if (head == "prop") {
            // prop NAME  |  prop NAME = ARG
            if (tokens.size() == 2) {
                step.kind = ScenarioStep::Kind::GetProp;
            } else if (tokens.size() == 4 && tokens[2].text == "=") {
                step.kind = ScenarioStep::Kind::SetProp;
                first = 3;
            } else {
                Fail(lineNumber, "write: prop NAME  or  prop NAME = value");
            }
            step.name = tokens[1].text;
            if (step.kind == ScenarioStep::Kind::GetProp)
                first = 2;
        } else if (head == "proc") {
            if (tokens.size() < 2 || tokens[1].quoted)
                Fail(lineNumber, "write: proc METHOD arguments...");
            step.kind = ScenarioStep::Kind::CallProc;
            step.name = tokens[1].text;
            first = 2;
        } else {
            if (head.empty())
                Fail(lineNumber, "a step starts with a method name, not a text");
            step.kind = ScenarioStep::Kind::Call;
            step.name = head;
        }

        for (std::size_t t = first; t < tokens.size(); ++t) {
            const Token& token = tokens[t];
            if (!token.quoted && token.text.rfind("<<", 0) == 0) {
                const std::string marker = token.text.substr(2);
                if (marker.empty())
                    Fail(lineNumber, "<< needs an end marker, for example <<XML");
                std::string body;
                bool closed = false;
                bool firstLine = true;
                while (index < lines.size()) {
                    const std::string& bodyLine = lines[index++];
                    if (Trim(bodyLine) == marker) {
                        closed = true;
                        break;
                    }
                    if (!firstLine)
                        body += '\n';
                    body += bodyLine;
                    firstLine = false;
                }
                if (!closed)
                    Fail(lineNumber, "no line " + marker + " closes the text started here");
                ScenarioArg arg;
                arg.value = Value::Text(body);
                arg.source = token.text;
                step.args.push_back(std::move(arg));
                continue;
            }
            step.args.push_back(MakeArg(token, lineNumber));
        }
        scenario.steps.push_back(std::move(step));
    }
    return scenario;
}

Scenario LoadScenario(const std::filesystem::path& file) {
    const std::string text = ReadWholeFile(file);
    // A file named without a folder lies in the working folder; its parent path is empty.
    return ParseScenario(text, std::filesystem::absolute(file).parent_path());
}

std::string DescribeValue(const Value& value, const std::string& indent, std::size_t maxLines) {
    switch (value.BaseType()) {
    case napi::VTYPE_EMPTY:
        return "(empty)";
    case napi::VTYPE_PWSTR:
    case napi::VTYPE_PSTR: {
        const std::string& text = value.text;
        if (text.find('\n') == std::string::npos && text.find('\r') == std::string::npos)
            return "\"" + text + "\"";
        std::string block = "(" + std::to_string(text.size()) + " bytes of text)";
        std::size_t start = 0;
        std::size_t shown = 0;
        while (start < text.size()) {
            if (maxLines != 0 && shown == maxLines) {
                std::size_t rest = 0;
                for (std::size_t k = start; k < text.size(); ++k)
                    rest += text[k] == '\n' ? 1 : 0;
                if (text.back() != '\n')
                    ++rest;
                block += "\n" + indent + "... " + std::to_string(rest) + " more lines";
                break;
            }
            ++shown;
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(start, end - start);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            block += "\n" + indent + line;
            start = end + 1;
        }
        return block;
    }
    default:
        return value.ToString();
    }
}

Value ScenarioRunner::Resolve(const ScenarioArg& arg, const Scenario& scenario) const {
    switch (arg.kind) {
    case ScenarioArg::Kind::Literal:
        return arg.value;
    case ScenarioArg::Kind::Variable: {
        const auto it = variables_.find(arg.name);
        if (it == variables_.end())
            throw std::runtime_error("the variable $" + arg.name + " has no value yet");
        return Value::Text(it->second);
    }
    case ScenarioArg::Kind::File: {
        std::filesystem::path path(arg.name);
        if (path.is_relative())
            path = scenario.baseFolder / path;
        return Value::Text(ReadWholeFile(path));
    }
    }
    return {};
}

void ScenarioRunner::Run(const Scenario& scenario) {
    int number = 0;
    for (const ScenarioStep& step : scenario.steps) {
        try {
            RunStep(step, scenario, ++number);
        } catch (const std::runtime_error& error) {
            throw std::runtime_error("line " + std::to_string(step.line) + ": " + error.what());
        } catch (const std::invalid_argument& error) {
            throw std::runtime_error("line " + std::to_string(step.line) + ": " + error.what());
        }
    }
}

void ScenarioRunner::RunStep(const ScenarioStep& step, const Scenario& scenario, int number) {
    const std::string pad = "    ";
    const std::string block = "        ";
    std::vector<Value> args;
    for (const ScenarioArg& arg : step.args)
        args.push_back(Resolve(arg, scenario));

    auto printHostErrors = [&](const std::vector<RecordedError>& errors) {
        for (const RecordedError& error : errors) {
            char scode[32];
            std::snprintf(scode, sizeof scode, "0x%lX",
                          static_cast<unsigned long>(error.scode) & 0xFFFFFFFFUL);
            out_ << pad << "host error: " << error.code << " [" << error.source << "] " << error.description
                 << " (scode " << scode << ")\n";
        }
    };

    switch (step.kind) {
    case ScenarioStep::Kind::Let:
        variables_[step.name] = args.at(0).ToString();
        out_ << "[" << number << "] let $" << step.name << " = " << DescribeValue(args.at(0), block) << "\n";
        return;
    case ScenarioStep::Kind::GetProp: {
        out_ << "[" << number << "] " << step.echo << "\n";
        const PropResult prop = component_.GetProp(step.name);
        out_ << pad << "returned " << (prop.returned ? "true" : "false") << "; value "
             << DescribeValue(prop.value, block, maxLines_) << "\n";
        printHostErrors(prop.hostErrors);
        return;
    }
    case ScenarioStep::Kind::SetProp: {
        out_ << "[" << number << "] " << step.echo << "\n";
        const PropResult prop = component_.SetProp(step.name, args.at(0));
        out_ << pad << "returned " << (prop.returned ? "true" : "false") << "\n";
        printHostErrors(prop.hostErrors);
        return;
    }
    case ScenarioStep::Kind::Call:
    case ScenarioStep::Kind::CallProc:
        break;
    }

    out_ << "[" << number << "] " << step.echo << "\n";
    if (const auto command = commands_.find(step.name);
        command != commands_.end() && step.kind == ScenarioStep::Kind::Call) {
        command->second(args, out_);
        return;
    }
    const bool asFunction = step.kind == ScenarioStep::Kind::Call;
    const CallResult call =
        asFunction ? component_.Call(step.name, args) : component_.CallProc(step.name, args);
    out_ << pad << "returned " << (call.returned ? "true" : "false");
    if (asFunction)
        out_ << "; result " << DescribeValue(call.result, block, maxLines_);
    out_ << "\n";
    for (std::size_t i = 0; i < call.params.size(); ++i) {
        if (i < args.size() && SameValue(call.params[i], args[i]))
            continue;
        out_ << pad << "p" << i << " out: " << DescribeValue(call.params[i], block, maxLines_) << "\n";
    }
    printHostErrors(call.hostErrors);

    if (IsMethod(step.name, "ПодключитьОборудование", "ConnectEquipment") && !call.params.empty() &&
        call.params[0].IsText() && !call.params[0].text.empty()) {
        variables_["id"] = call.params[0].text;
        out_ << pad << "$id = " << call.params[0].text << "\n";
    }

    // The outcome of a guarded method is told by ПолучитьОшибку; the two unguarded ones are skipped.
    const bool guarded = !IsMethod(step.name, "ПолучитьОшибку", "GetLastError") &&
                         !IsMethod(step.name, "ПолучитьРевизиюИнтерфейса", "GetInterfaceRevision");
    if (guarded) {
        const LastErrorInfo last = component_.LastError();
        out_ << pad << "last error: " << last.code;
        if (!last.description.empty())
            out_ << " " << DescribeValue(Value::Text(last.description), block);
        out_ << "\n";
    }
}

} // namespace veltrano::testhost
