// The training cash register through the host: connection settings built from the schema's defaults, the
// storage file and the output file in the test's temporary folder, and documents read back as whole lines
// with their moments and fiscal signs masked.
#pragma once

#include "host_driver_fixture.h"

#include <pugixml.hpp>

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::hosttest {

using Overrides = std::vector<std::pair<std::string, std::string>>;

constexpr std::size_t DefaultLineLength = 42;

// Characters, not bytes, of a UTF-8 text.
inline std::size_t CharCount(const std::string& text) {
    std::size_t count = 0;
    for (const unsigned char c : text)
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

// A receipt line: the left text, spaces, the right text at the right edge.
inline std::string Line(const std::string& left, const std::string& right = {},
                        std::size_t width = DefaultLineLength) {
    const std::size_t used = CharCount(left) + CharCount(right);
    EXPECT_LE(used, width) << left << right;
    return left + std::string(width - used, ' ') + right;
}

inline std::string Centered(const std::string& text, std::size_t width = DefaultLineLength) {
    const std::size_t spare = width - CharCount(text);
    return std::string(spare / 2, ' ') + text + std::string(spare - spare / 2, ' ');
}

inline std::string Blank(std::size_t width = DefaultLineLength) {
    return std::string(width, ' ');
}

inline std::string Rule(std::size_t width = DefaultLineLength) {
    return std::string(width, '=');
}

// The header's moment ("dd.mm.yyyy hh:mm") as a masked document shows it.
inline const std::string MaskedMoment = "дд.мм.гггг чч:мм";
inline const std::string MaskedSign = "ФП:##########";

// An input document with the cashier, as the platform passes it.
inline std::string CashierInput(const std::string& name, const std::string& inn = {}) {
    return "<?xml version=\"1.0\"?>\r\n<InputParameters>\r\n<Parameters CashierName=\"" + name +
           "\" CashierINN=\"" + inn + "\"/>\r\n</InputParameters>";
}

inline std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An output XML answer without declaration, indentation or line ends, its moments checked and replaced by
// "*".
inline std::string CompactAnswer(const std::string& text) {
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_string(text.c_str());
    EXPECT_TRUE(parsed) << parsed.description() << "\n" << text;
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>\r\n", 0), 0u) << text;
    static const std::regex isoMoment(R"(\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2})");
    static const std::regex shownMoment(R"(\d{2}\.\d{2}\.\d{4} \d{2}:\d{2}:\d{2})");
    for (const pugi::xpath_node found : doc.select_nodes("//@*")) {
        pugi::xml_attribute attribute = found.attribute();
        const std::string value = attribute.value();
        if (std::regex_match(value, isoMoment) || std::regex_match(value, shownMoment))
            attribute.set_value("*");
    }
    std::ostringstream compact;
    for (const pugi::xml_node node : doc.children())
        if (node.type() != pugi::node_declaration)
            node.print(compact, "", pugi::format_raw, pugi::encoding_utf8);
    return compact.str();
}

class KktHostTest : public DriverHostTest {
protected:
    std::filesystem::path OutputFile() const { return root_ / "out" / "receipts.txt"; }
    std::filesystem::path DataFolder() const { return DataHome() / "Korvena" / "Veltrano"; }
    std::filesystem::path StorageFile() const { return DataFolder() / "DataFN.xml"; }

    // Every parameter of the schema with its default value; the output file goes into the test's folder and
    // documents are not shown. The overrides replace or add parameters.
    std::string Settings(const Overrides& overrides = {}) {
        const CallResult schema = driver_->Call("ПараметрыОборудования", {Value::Text(""), Value::Empty()});
        EXPECT_TRUE(schema.Succeeded());
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(schema.Out(1).c_str()));
        Overrides values;
        for (const pugi::xpath_node found : doc.select_nodes("//Parameter"))
            values.emplace_back(found.node().attribute("Name").value(),
                                found.node().attribute("DefaultValue").value());
        EXPECT_FALSE(values.empty());
        Overrides all{{"PrintOutFilePath", OutputFile().string()}, {"ShowReceiptForm", "1"}};
        all.insert(all.end(), overrides.begin(), overrides.end());
        for (const auto& [name, value] : all) {
            bool replaced = false;
            for (auto& entry : values)
                if (entry.first == name) {
                    entry.second = value;
                    replaced = true;
                }
            if (!replaced)
                values.emplace_back(name, value);
        }
        pugi::xml_document settings;
        pugi::xml_node parameters = settings.append_child("Parameters");
        for (const auto& [name, value] : values) {
            pugi::xml_node parameter = parameters.append_child("Parameter");
            parameter.append_attribute("Name") = name.c_str();
            parameter.append_attribute("Value") = value.c_str();
        }
        std::ostringstream text;
        settings.save(text);
        return text.str();
    }

    // The new device's identifier; empty (and a test failure) when the connection fails.
    std::string Connect(const std::string& settings) {
        const CallResult connect =
            driver_->Call("ПодключитьОборудование", {Value::Empty(), Value::Empty(), Value::Text(settings)});
        if (!connect.Succeeded()) {
            ADD_FAILURE() << "connection failed: " << driver_->LastError().description;
            return {};
        }
        return connect.Out(0);
    }

    CallResult OpenShift(const std::string& id, const std::string& cashier = "Иванов И.И.") {
        return driver_->Call("ОткрытьСмену",
                             {Value::Text(id), Value::Text(CashierInput(cashier)), Value::Empty()});
    }
    CallResult CloseShift(const std::string& id, const std::string& cashier = "Иванов И.И.") {
        return driver_->Call("ЗакрытьСмену",
                             {Value::Text(id), Value::Text(CashierInput(cashier)), Value::Empty()});
    }
    CallResult CashInOut(const std::string& id, double amount) {
        return driver_->Call("НапечататьЧекВнесенияВыемки",
                             {Value::Text(id), Value::Text(CashierInput("")), Value::Double(amount)});
    }
    CallResult XReport(const std::string& id, const std::string& cashier = "Иванов И.И.") {
        return driver_->Call("НапечататьОтчетБезГашения",
                             {Value::Text(id), Value::Text(CashierInput(cashier))});
    }
    CallResult Status(const std::string& id) {
        return driver_->Call("ПолучитьТекущееСостояние",
                             {Value::Text(id), Value::Text(CashierInput("")), Value::Empty()});
    }
    CallResult SettlementsReport(const std::string& id, const std::string& cashier = "Иванов И.И.") {
        return driver_->Call("ОтчетОТекущемСостоянииРасчетов",
                             {Value::Text(id), Value::Text(CashierInput(cashier)), Value::Empty()});
    }

    std::string LastMessage() { return driver_->LastError().description; }

    std::string StorageBytes() const { return ReadAll(StorageFile()); }
    std::string OutputBytes() const { return ReadAll(OutputFile()); }

    // A field's Value as the storage file holds it.
    static std::string Field(const std::filesystem::path& storage, const std::string& name) {
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_file(storage.c_str())) << storage;
        const pugi::xml_node field = doc.child("DataFN").child(name.c_str());
        EXPECT_TRUE(field) << name;
        return field.attribute("Value").value();
    }
    std::string Field(const std::string& name) const { return Field(StorageFile(), name); }

    void ExpectFields(const Overrides& expected, const std::string& when) const {
        for (const auto& [name, value] : expected)
            EXPECT_EQ(Field(name), value) << name << " " << when;
    }

    // Changes fields in the file as a hand edit between two operations would.
    void EditStorage(const Overrides& values) const {
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_file(StorageFile().c_str()));
        for (const auto& [name, value] : values) {
            pugi::xml_node field = doc.child("DataFN").child(name.c_str());
            ASSERT_TRUE(field) << name;
            field.attribute("Value").set_value(value.c_str());
        }
        ASSERT_TRUE(doc.save_file(StorageFile().c_str()));
    }

    // The output file's lines added since the last call, without CR LF, moments and fiscal signs masked.
    std::vector<std::string> NewDocumentLines() {
        static const std::regex moment(R"(\d{2}\.\d{2}\.\d{4} \d{2}:\d{2})");
        // A fiscal sign is below 999999999, so its ten digits start with a zero.
        static const std::regex sign(R"(ФП:0\d{9})");
        const std::string bytes = OutputBytes();
        std::vector<std::string> lines;
        std::size_t from = outputSeen_;
        while (from < bytes.size()) {
            const std::size_t end = bytes.find("\r\n", from);
            if (end == std::string::npos) {
                ADD_FAILURE() << "a line without CR LF: " << bytes.substr(from);
                break;
            }
            std::string line = bytes.substr(from, end - from);
            line = std::regex_replace(line, moment, MaskedMoment);
            lines.push_back(std::regex_replace(line, sign, MaskedSign));
            from = end + 2;
        }
        outputSeen_ = bytes.size();
        return lines;
    }

private:
    std::size_t outputSeen_ = 0;
};

} // namespace veltrano::hosttest
