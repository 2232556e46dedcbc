// The scenario format of veltrano-host and the shipped demonstration scenario.
#include "host_testhost_fixture.h"
#include "scenario.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace veltrano::testhost::tests {
namespace {

std::string ErrorOf(std::string_view text) {
    try {
        ParseScenario(text);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(ScenarioFormat, CallsArgumentsAndComments) {
    const Scenario s =
        ParseScenario("# comment\n"
                      "\n"
                      "ПолучитьОписание _   # trailing comment\n"
                      "Method \"a \\\"b\\\" # c\\n\" 42 -7 5000000000 3L 1.5 -2e3 true false null $id\n");
    ASSERT_EQ(s.steps.size(), 2u);
    EXPECT_EQ(s.steps[0].name, "ПолучитьОписание");
    EXPECT_EQ(s.steps[0].line, 3);
    ASSERT_EQ(s.steps[0].args.size(), 1u);
    EXPECT_TRUE(s.steps[0].args[0].value.IsEmpty());
    const auto& a = s.steps[1].args;
    ASSERT_EQ(a.size(), 11u);
    EXPECT_EQ(a[0].value.vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(a[0].value.text, "a \"b\" # c\n");
    EXPECT_EQ(a[1].value.vt, napi::VTYPE_I4);
    EXPECT_EQ(a[1].value.integer, 42);
    EXPECT_EQ(a[2].value.integer, -7);
    EXPECT_EQ(a[3].value.vt, napi::VTYPE_I8);
    EXPECT_EQ(a[4].value.vt, napi::VTYPE_I8);
    EXPECT_EQ(a[4].value.integer, 3);
    EXPECT_EQ(a[5].value.vt, napi::VTYPE_R8);
    EXPECT_EQ(a[5].value.number, 1.5);
    EXPECT_EQ(a[6].value.number, -2000.0);
    EXPECT_TRUE(a[7].value.boolean);
    EXPECT_FALSE(a[8].value.boolean);
    EXPECT_EQ(a[8].value.vt, napi::VTYPE_BOOL);
    EXPECT_EQ(a[9].value.vt, napi::VTYPE_NULL);
    EXPECT_EQ(a[10].kind, ScenarioArg::Kind::Variable);
    EXPECT_EQ(a[10].name, "id");
}

TEST(ScenarioFormat, HereDocumentsFilesAndKeywords) {
    const Scenario s = ParseScenario("ОткрытьСмену $id <<XML _\r\n"
                                     "<InputParameters>\r\n"
                                     "  <Parameters CashierName=\"Иванов\"/>\r\n"
                                     "</InputParameters>\r\n"
                                     "XML\r\n"
                                     "ПодключитьОборудование _ \"\" @settings.xml\n"
                                     "X @\"with space.xml\"\n"
                                     "proc ОткрытьДенежныйЯщик $id\n"
                                     "prop LogEnabled\n"
                                     "prop ЛогВключен = true\n"
                                     "let $who = \"Петров\"\n",
                                     "/base");
    ASSERT_EQ(s.steps.size(), 7u);
    ASSERT_EQ(s.steps[0].args.size(), 3u);
    EXPECT_EQ(s.steps[0].args[1].value.text,
              "<InputParameters>\n  <Parameters CashierName=\"Иванов\"/>\n</InputParameters>");
    EXPECT_TRUE(s.steps[0].args[2].value.IsEmpty());
    EXPECT_EQ(s.steps[1].line, 6);
    EXPECT_EQ(s.steps[1].args[2].kind, ScenarioArg::Kind::File);
    EXPECT_EQ(s.steps[1].args[2].name, "settings.xml");
    EXPECT_EQ(s.steps[2].args[0].name, "with space.xml");
    EXPECT_EQ(s.steps[3].kind, ScenarioStep::Kind::CallProc);
    EXPECT_EQ(s.steps[3].name, "ОткрытьДенежныйЯщик");
    EXPECT_EQ(s.steps[4].kind, ScenarioStep::Kind::GetProp);
    EXPECT_EQ(s.steps[5].kind, ScenarioStep::Kind::SetProp);
    EXPECT_TRUE(s.steps[5].args.at(0).value.boolean);
    EXPECT_EQ(s.steps[6].kind, ScenarioStep::Kind::Let);
    EXPECT_EQ(s.steps[6].name, "who");
    EXPECT_EQ(s.baseFolder, "/base");
}

TEST(ScenarioFormat, MistakesNameTheirLine) {
    EXPECT_EQ(ErrorOf("A \"open"), "line 1: a quoted text is not closed");
    EXPECT_EQ(ErrorOf("\nA bare"),
              "line 2: cannot read the argument bare (texts are written in double quotes)");
    EXPECT_EQ(ErrorOf("A <<END\nbody\n"), "line 1: no line END closes the text started here");
    EXPECT_EQ(ErrorOf("let x = 1"), "line 1: write: let $name = value");
    EXPECT_EQ(ErrorOf("prop A B"), "line 1: write: prop NAME  or  prop NAME = value");
    EXPECT_EQ(ErrorOf("\"text\" 1"), "line 1: a step starts with a method name, not a text");
    EXPECT_EQ(ErrorOf("A $"), "line 1: bad variable name $");
    EXPECT_EQ(ErrorOf("A 1.2.3"),
              "line 1: cannot read the argument 1.2.3 (texts are written in double quotes)");
}

TEST(ScenarioFormat, AFileNamedWithoutAFolderIsReadFromTheWorkingFolder) {
    char pattern[] = "/tmp/veltrano-scenario-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const std::filesystem::path folder = pattern;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::ofstream(folder / "my.txt") << "ПолучитьОписание _ @settings.xml\n";
    std::filesystem::current_path(folder);
    Scenario loaded;
    EXPECT_NO_THROW(loaded = LoadScenario("my.txt"));
    std::filesystem::current_path(previous);
    EXPECT_EQ(loaded.baseFolder, folder) << "files the scenario names lie beside it";
    EXPECT_EQ(loaded.steps.size(), 1u);
    std::filesystem::remove_all(folder);
}

class ScenarioRun : public HostTest {};

TEST_F(ScenarioRun, RunsCallsAndCapturesTheDeviceId) {
    const std::filesystem::path xml = data.Path() / "in.xml";
    std::ofstream(xml) << "из файла";
    const Scenario s = ParseScenario("ПолучитьРевизиюИнтерфейса\n"
                                     "ВыполнитьДополнительноеДействие \"Nope\"\n"
                                     "АвтонастройкаОборудования _ @in.xml _ _ _\n"
                                     "let $x = \"значение\"\n"
                                     "АвтонастройкаОборудования _ $x _ _ _\n"
                                     "prop LogEnabled = false\n"
                                     "prop LogEnabled\n"
                                     "УстановитьИнформациюПриложения null\n",
                                     data.Path());
    std::ostringstream out;
    ScenarioRunner runner(*component, out);
    runner.Run(s);
    const std::string text = out.str();
    EXPECT_NE(text.find("[1] ПолучитьРевизиюИнтерфейса\n    returned true; result 4004\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("[2] ВыполнитьДополнительноеДействие \"Nope\"\n    returned true; result false\n"
                        "    last error: 1001 \"Action not found\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("    p2 out: \"из файла\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    p2 out: \"значение\"\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[7] prop LogEnabled\n    returned true; value false\n"), std::string::npos) << text;
    EXPECT_NE(text.find("host error: 1006 [Внешняя компонента] Unsupported data type - VTYPE_NULL "
                        "(scode 0x80004005)"),
              std::string::npos)
        << text;
}

TEST_F(ScenarioRun, UnknownNamesAndVariablesStopTheRun) {
    std::ostringstream out;
    ScenarioRunner runner(*component, out);
    EXPECT_THROW(runner.Run(ParseScenario("NoSuchMethod\n")), std::runtime_error);
    EXPECT_THROW(runner.Run(ParseScenario("ОтключитьОборудование $id\n")), std::runtime_error);
    EXPECT_THROW(runner.Run(ParseScenario("ОтключитьОборудование @missing-file.xml\n")), std::runtime_error);
    EXPECT_THROW(runner.Run(ParseScenario("prop NoSuchProperty\n")), std::runtime_error);
}

TEST_F(ScenarioRun, TheDemonstrationScenario) {
    const std::filesystem::path demo = std::filesystem::path(VELTRANO_SOURCE_DIR) / "scenarios" / "demo.txt";
    ASSERT_TRUE(std::filesystem::exists(demo)) << demo;
    std::ostringstream out;
    ScenarioRunner runner(*component, out);
    // As veltrano-host does: the steps run in the data folder, and `show` names a file there.
    std::vector<std::string> shown;
    runner.AddCommand("show", [&](const std::vector<Value>& args, std::ostream&) {
        ASSERT_EQ(args.size(), 1u);
        std::ifstream in(data.Path() / args[0].text, std::ios::binary);
        shown.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    });
    const std::filesystem::path workingFolder = std::filesystem::current_path();
    std::filesystem::current_path(data.Path());
    runner.Run(LoadScenario(demo));
    std::filesystem::current_path(workingFolder);
    const std::string text = out.str();
    ASSERT_EQ(shown.size(), 1u);
    // The day's documents in their order.
    std::size_t at = 0;
    for (const char* document :
         {"РЕГИСТРАЦИЯ", "ОТКРЫТИЕ СМЕНЫ", "ВНЕСЕНИЕ", "Кассовый чек/приход", "[М+]", "СДАЧА",
          "СУММА НДС 22%", "Кассовый чек/возврат прихода", "КОРРЕКЦИЯ ПРИХОДА", "ОПЛАТА КАРТОЙ", "ВЫПЛАТА",
          "СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ", "ЗАКРЫТИЕ СМЕНЫ", "ИНКАССАЦИЯ", "ОТЧЕТ О СОСТОЯНИИ РАСЧЕТОВ"}) {
        const std::size_t found = shown[0].find(document, at);
        ASSERT_NE(found, std::string::npos) << document;
        at = found;
    }
    // Only the unknown action and the cash-out beyond the drawer fail.
    std::vector<std::string> failures;
    std::istringstream steps(text);
    for (std::string line; std::getline(steps, line);)
        if (line.rfind("    last error: ", 0) == 0 && line != "    last error: 0")
            failures.push_back(line.substr(16));
    EXPECT_EQ(failures, (std::vector<std::string>{"1001 \"Action not found\"",
                                                  "1001 \"Недостаточно наличности в кассе\""}));
    EXPECT_NE(text.find("returned true; result 4004"), std::string::npos) << text;
    // The marked shoes: checked by the storage and by the marking system, both positive.
    EXPECT_NE(text.find("CheckingResult=\"true\""), std::string::npos) << text;
    EXPECT_NE(text.find("ResultCode=\"15\""), std::string::npos) << text;
    EXPECT_NE(text.find("<DriverDescription"), std::string::npos) << text;
    EXPECT_NE(text.find("<Settings>"), std::string::npos) << text;
    EXPECT_NE(text.find("<Action Name=\"ClearFN\""), std::string::npos) << text;
    EXPECT_NE(text.find("last error: 1001 \"Action not found\""), std::string::npos) << text;
    EXPECT_NE(text.find("returned true; result 1001\n    p0 out: \"Action not found\""), std::string::npos)
        << text;
    EXPECT_TRUE(host->Connection().Errors().empty());
}

} // namespace
} // namespace veltrano::testhost::tests
