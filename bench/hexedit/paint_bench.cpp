// Time of one paint of an 800 × 600 hex editor: making its paint plan alone,
// and the whole widget rendered offscreen into a QImage, for a 64 KiB and a
// 16 MiB buffer, and for a single-line control of one 1 MiB row. A paint plans
// and draws only the visible rows and cells, so its time must depend neither on
// the buffer size nor on the row length.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

#include "CHexEditBase.h"
#include "hex_edit_core.h"
#include "hex_paint_plan.h"

namespace {

std::vector<uint8_t> Bytes(uint32_t length) {
    std::vector<uint8_t> bytes(length);
    for (uint32_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<uint8_t>(i * 31 + (i >> 8));
    }
    return bytes;
}

// The workbench's configuration, with a selection across the middle of the
// buffer scrolled into view.
void Configure(CHexEditBase& editor, const std::vector<uint8_t>& bytes) {
    const auto length = static_cast<uint32_t>(bytes.size());
    editor.SetShowAddress(true, false);
    editor.SetAddressDigits(8, false);
    editor.SetShowAscii(true, false);
    editor.SetBytesPerRow(16, false, false);
    editor.SetData(bytes.data(), length, false);
    editor.resize(800, 600);
    editor.SetSelection(length / 2, length / 2 + 300, true, false);
    QApplication::processEvents();
}

void BM_PaintFullWidget(benchmark::State& state) {
    const auto bytes = Bytes(static_cast<uint32_t>(state.range(0)));
    CHexEditBase editor(nullptr, true);
    Configure(editor, bytes);
    QImage image(800, 600, QImage::Format_RGB32);
    for (auto _ : state) {
        editor.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(std::to_string(bytes.size()) + " bytes");
}

void BM_PlanPaint(benchmark::State& state) {
    const auto bytes = Bytes(static_cast<uint32_t>(state.range(0)));
    korvid::hexedit::HexEditCore core(true);
    core.SetCharMetrics(8, 16);
    core.SetShowAddress(true);
    core.SetShowAscii(true);
    core.SetData(bytes.data(), static_cast<uint32_t>(bytes.size()));
    core.SetClientSize(800, 600);
    core.SetFocused(true);
    core.SetSelection(static_cast<uint32_t>(bytes.size() / 2),
                      static_cast<uint32_t>(bytes.size() / 2 + 300), true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(korvid::hexedit::PlanPaint(core, true));
    }
    state.SetLabel(std::to_string(bytes.size()) + " bytes");
}

void BM_PaintSingleLineRow(benchmark::State& state) {
    const auto bytes = Bytes(static_cast<uint32_t>(state.range(0)));
    CHexEditBase editor(nullptr, false);
    editor.SetData(bytes.data(), static_cast<uint32_t>(bytes.size()), false);
    editor.resize(800, 24);
    editor.SetSelection(static_cast<uint32_t>(bytes.size() / 2),
                        static_cast<uint32_t>(bytes.size() / 2 + 300), true, false);
    QApplication::processEvents();
    QImage image(800, 24, QImage::Format_RGB32);
    for (auto _ : state) {
        editor.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(std::to_string(bytes.size()) + " bytes on one row");
}

BENCHMARK(BM_PaintFullWidget)->Arg(64 * 1024)->Arg(16 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlanPaint)->Arg(64 * 1024)->Arg(16 * 1024 * 1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaintSingleLineRow)->Arg(1024)->Arg(1024 * 1024)->Unit(benchmark::kMicrosecond);

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
