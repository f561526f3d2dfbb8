// Time of one full paint of an 800 × 600 hex editor, rendered offscreen into a
// QImage, for a 64 KiB and a 16 MiB buffer. A paint draws only the visible rows,
// so its time must not depend on the buffer size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cstdint>
#include <vector>

#include "CHexEditBase.h"

namespace {

void BM_PaintFullWidget(benchmark::State& state) {
    const auto length = static_cast<uint32_t>(state.range(0));
    std::vector<uint8_t> bytes(length);
    for (uint32_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + (i >> 8));
    }
    CHexEditBase editor(nullptr, true);
    editor.SetShowAddress(true, false);
    editor.SetAddressDigits(8, false);
    editor.SetShowAscii(true, false);
    editor.SetBytesPerRow(16, false, false);
    editor.SetData(bytes.data(), length, false);
    editor.resize(800, 600);
    // A selection across the middle of the buffer, scrolled into view.
    editor.SetSelection(length / 2, length / 2 + 300, true, false);
    QApplication::processEvents();

    QImage image(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        editor.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(std::to_string(length) + " bytes");
}

BENCHMARK(BM_PaintFullWidget)->Arg(64 * 1024)->Arg(16 * 1024 * 1024)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
