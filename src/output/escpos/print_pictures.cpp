#include "output/escpos/print_pictures.h"

#include "output/picture/barcode_picture.h"
#include "output/picture/eac_logo.h"
#include "output/picture/graphic_text.h"
#include "output/picture/raster.h"

#include <algorithm>

namespace veltrano::output {
namespace {

// The graphic text leaves 7 mm of the roll free on either side.
constexpr int GraphicTextSideMargins = 14;

// Writes the text black into the box of the picture, centred both ways, in a sans-serif face whose letters
// take about half the box's height.
void WriteCentred(Bitmap& picture, const PictureBox& box, std::string_view text) {
    const int width = box.X1 - box.X0, height = box.Y1 - box.Y0;
    if (width <= 0 || height <= 0)
        return;
    GraphicText job;
    job.Data = std::string(text);
    job.Width = static_cast<double>(width) / DotsPerMm;
    job.Height = static_cast<double>(height) / DotsPerMm;
    job.FontName = "Arial";
    job.FontSize = std::max(1, height * 72 / PrinterDpi / 2);
    job.Horizontal = HorizontalAlign::Center;
    job.Vertical = VerticalAlign::Center;
    const Bitmap written = RenderGraphicText(job);
    for (int y = 0; y < written.Height(); ++y)
        for (int x = 0; x < written.Width(); ++x)
            if (written.IsBlack(x, y))
                picture.Set(box.X0 + x, box.Y0 + y, true);
}

} // namespace

std::string GetGraphicText(const PrintObject& descriptor, const RasterGeometry& geometry) {
    const Bitmap picture = output::GetGraphicText(
        descriptor.Text, geometry.RibbonWidth - GraphicTextSideMargins, descriptor.FontSize,
        descriptor.FontName, descriptor.FontStyle, "center", "center");
    if (picture.Empty())
        return {};
    return RenderBitmap(picture, 0);
}

std::string GetEACString(const RasterGeometry& geometry) {
    const PlacedLogo placed =
        PlaceEacLogo(EacLogo(), geometry.EACSize, geometry.EACAlignment, geometry.RibbonWidth);
    if (placed.Logo.Empty())
        return {};
    return RenderBitmap(placed.Logo, placed.Margin);
}

std::string SetBarcodeAsPicture(std::string_view data, int kind, int, const RasterGeometry& geometry) {
    const BarcodePictureSettings settings{geometry.RibbonWidth, geometry.BarcodeHeight, geometry.BarcodeSize,
                                          geometry.QRSize};
    return BarcodePictureRaster(data, kind, settings, &WriteCentred);
}

} // namespace veltrano::output
