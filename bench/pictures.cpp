// Pictures printed with a receipt: the ESC * band packer on a QR picture of the default roll, and the whole
// QR and EAN-13 pictures from data to printer bytes. The packer alone should stay far below a millisecond.
#include "output/picture/barcode_picture.h"
#include "output/picture/qr_picture.h"
#include "output/picture/raster.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

using namespace veltrano::output;

const std::string ReceiptQr = "t=20240115T1030&s=1250.50&fn=9999078900004792&i=15&fp=3522207165&n=1";

void RenderQrPicture(benchmark::State& state) {
    const Bitmap picture = DrawBarcodePicture(ReceiptQr, QrCodeKind, {}).Picture;
    for (auto _ : state)
        benchmark::DoNotOptimize(RenderBitmap(picture, 0));
}
BENCHMARK(RenderQrPicture)->Unit(benchmark::kMicrosecond);

void QrModuleMatrix(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(QrModules(ReceiptQr));
}
BENCHMARK(QrModuleMatrix)->Unit(benchmark::kMicrosecond);

void QrPictureRaster(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BarcodePictureRaster(ReceiptQr, QrCodeKind, {}));
}
BENCHMARK(QrPictureRaster)->Unit(benchmark::kMicrosecond);

void Ean13PictureRaster(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(BarcodePictureRaster("4601234567893", Ean13Kind, {}));
}
BENCHMARK(Ean13PictureRaster)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
