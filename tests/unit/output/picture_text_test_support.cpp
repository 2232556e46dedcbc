#include "picture_text_test_support.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

namespace veltrano::output::test {
namespace {

// fontconfig reads the user's configuration and writes its cache under the home folder: both go to a fresh
// folder. Pictures are drawn without any display, so the display variables are removed.
class FontFolderEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::random_device random;
        folder_ = std::filesystem::temp_directory_path() / ("veltrano-fonts-" + std::to_string(random()));
        std::filesystem::create_directories(folder_);
        ::setenv("XDG_CACHE_HOME", (folder_ / "cache").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (folder_ / "data").c_str(), 1);
        ::setenv("HOME", (folder_ / "home").c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

private:
    std::filesystem::path folder_;
};

[[maybe_unused]] ::testing::Environment* const fontFolder =
    ::testing::AddGlobalTestEnvironment(new FontFolderEnvironment);

} // namespace

InkBox InkOf(const Bitmap& picture) {
    InkBox box{picture.Width(), picture.Height(), 0, 0};
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.IsBlack(x, y)) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box.Right == 0 ? InkBox{} : box;
}

int BlackCount(const Bitmap& picture) {
    return static_cast<int>(std::count(picture.Dots().begin(), picture.Dots().end(), 1));
}

} // namespace veltrano::output::test
