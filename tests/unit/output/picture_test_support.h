// Shared pieces of the picture tests: reading the ESC/POS raster back into a bitmap, writing bitmaps as PNG
// files into a scratch folder, and running the barcode readers installed on the machine.
#pragma once

#include "output/picture/bitmap.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano::output::picture_test {

// Reads ESC "3" 24, the ESC "*" 33 bands with their CR LF and ESC "3" 30 back into a picture as wide as the
// bands (margin included) and 24 rows per band; any other byte layout is a failure.
::testing::AssertionResult UnpackRaster(std::string_view bytes, Bitmap& picture);

// A 1-bit grey PNG of the picture (black dots black) surrounded by a white border.
void WritePng(const Bitmap& picture, const std::filesystem::path& file, int border = 16);

// A fresh folder removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// True when the program is found on PATH.
bool ProgramInstalled(std::string_view name);

// The standard output of a shell command line.
std::string CommandOutput(const std::string& command);

} // namespace veltrano::output::picture_test
