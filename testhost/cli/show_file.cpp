#include "show_file.h"

#include <fstream>
#include <iterator>
#include <ostream>
#include <stdexcept>
#include <string>

namespace veltrano::testhost {

void ShowDataFile(const std::filesystem::path& dataFolder, const std::vector<Value>& args,
                  std::ostream& out) {
    if (args.size() != 1 || !args[0].IsText())
        throw std::runtime_error("write: show \"file in the data folder\"");
    std::filesystem::path file(args[0].text);
    if (file.is_relative())
        file = dataFolder / file;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    const std::string text(std::istreambuf_iterator<char>(in), {});
    out << "    " << file.string() << ":\n";
    std::size_t from = 0;
    while (from < text.size()) {
        std::size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out << "    | " << line << "\n";
        from = end + 1;
    }
}

} // namespace veltrano::testhost
