#include "output/picture/qr_picture.h"

#include "output/picture/qr_encoder.h"

#include <string>

namespace veltrano::output {
namespace {

constexpr int QuietZone = 4;

} // namespace

Bitmap QrModules(std::string_view text) {
    try {
        // Level L stays L: letting the encoder raise the level when the data fits would change the symbol.
        const qrcodegen::QrCode code = qrcodegen::QrCode::encodeSegments(
            qrcodegen::QrSegment::makeSegments(std::string(text).c_str()), qrcodegen::QrCode::Ecc::LOW,
            qrcodegen::QrCode::MIN_VERSION, qrcodegen::QrCode::MAX_VERSION, -1, false);
        const int size = code.getSize();
        Bitmap modules(size + 2 * QuietZone, size + 2 * QuietZone);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                modules.Set(x + QuietZone, y + QuietZone, code.getModule(x, y));
        return modules;
    } catch (const qrcodegen::data_too_long&) {
        return {};
    }
}

void DrawQrModules(Bitmap& target, const PictureBox& box, const Bitmap& modules) {
    target.Fill(box.X0, box.Y0, box.X1, box.Y1, false);
    StretchDraw(target, box.X0, box.Y0, box.X1, box.Y1, modules);
}

} // namespace veltrano::output
