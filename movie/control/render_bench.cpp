// How fast the built-in control draws: a frame of the demo episode at the stage's size and at
// 1280 x 800, as a share of the frame interval of its frame rate (the aim: a quarter at 1280 x 800
// on one core), and the rasteriser's fill rate against writing the same pixels with a plain loop.
// Prints the ratios at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "BuiltinMovie.h"
#include "EmbedMovie.h"
#include "ImageDecoder.h"
#include "Renderer.h"
#include "QuietMovieHost.h"

namespace {

std::vector<std::uint8_t> Episode() {
    std::ifstream in(std::string(FLASH_TEST_MOVIES) + "/episode.swf", std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                     std::istreambuf_iterator<char>());
}

double g_frameIntervalMs = 0;

void BM_EpisodeFrame(benchmark::State& state) {
    QuietMovieHost host;
    const auto decoder = MakeImageDecoder();
    BuiltinMovie control(host, decoder.get());
    MemoryStream s(Episode());
    EmbedMovieStream(control, &s);
    if (!control.HasMovie()) return state.SkipWithError("the demo episode did not load");
    g_frameIntervalMs = control.FrameIntervalMs();
    const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
    for (auto _ : state) {
        control.Tick();  // the ball moves: every frame is drawn anew
        benchmark::DoNotOptimize(control.Render(w, h).pixels.data());
    }
}

constexpr int kW = 1280, kH = 800;

// A rectangle over the whole picture, through the rasteriser.
void BM_RasteriserFill(benchmark::State& state) {
    SwfShape shape;
    shape.fills.resize(1);
    shape.fills[0].color = {40, 120, 200, 255};
    SwfPath path;
    path.fill1 = 1;
    for (const auto& [x, y] : {std::pair{kW * 20, 0}, std::pair{kW * 20, kH * 20},
                               std::pair{0, kH * 20}, std::pair{0, 0}}) {
        SwfSegment seg;
        seg.x = x;
        seg.y = y;
        path.segments.push_back(seg);
    }
    shape.paths.push_back(path);
    const ShapeGeometry g = BuildGeometry(shape);
    PixelImage picture;
    picture.Resize(kW, kH);
    Renderer r;
    r.Begin(picture);
    DrawContext c;
    c.toDevice = Matrix2D::Scale(1 / 20.0, 1 / 20.0);
    for (auto _ : state) {
        r.DrawShape(g, c);
        benchmark::DoNotOptimize(picture.pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

void BM_PlainFill(benchmark::State& state) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kW) * kH);
    std::uint32_t v = 0xFF2878C8;
    for (auto _ : state) {
        for (std::uint32_t& p : pixels) p = v;
        benchmark::DoNotOptimize(pixels.data());
        ++v;
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
}

BENCHMARK(BM_EpisodeFrame)->Args({550, 400})->Args({kW, kH})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RasteriserFill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFill)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration, in milliseconds, for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> ms;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && r.run_type == Run::RT_Iteration)
                ms[r.run_name.str()] =
                    r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratios:\n");
    for (const char* size : {"550/400", "1280/800"}) {
        const auto it = reporter.ms.find(std::string("BM_EpisodeFrame/") + size);
        if (it != reporter.ms.end() && g_frameIntervalMs > 0)
            std::printf("demo frame at %-9s / frame interval (aim 0.25 at 1280/800)  %6.3f\n", size,
                        it->second / g_frameIntervalMs);
    }
    const auto fill = reporter.ms.find("BM_RasteriserFill"),
               plain = reporter.ms.find("BM_PlainFill");
    if (fill != reporter.ms.end() && plain != reporter.ms.end() && plain->second > 0)
        std::printf("rasteriser fill / plain loop of the same pixels            %6.2f\n",
                    fill->second / plain->second);
    benchmark::Shutdown();
    return 0;
}
