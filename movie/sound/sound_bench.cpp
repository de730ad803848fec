// How long decoding one second of sound takes, as a share of that second: MP3 through the native
// decoder (22.05 kHz mono, 44.1 kHz stereo, the test files) and 4-bit ADPCM. The counter
// `of_real_time` is the share (shown as a time: 100u is 0.0001); a player needs it well below 1
// on one core. The shares are printed again at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "Adpcm.h"
#include "Mp3Decoder.h"
#include "SoundTestData.h"

using namespace sounddata;

namespace {

void ReportShare(benchmark::State& state) {
    // Each iteration decodes one second: seconds taken per iteration is the share.
    state.counters["of_real_time"] =
        benchmark::Counter(static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_Mp3Second(benchmark::State& state, const char* name) {
    const Bytes file = ReadTestSound(name);
    const Mp3Split split = SplitMp3Frames(file.data(), file.size());
    auto decoder = MakeMp3Decoder();
    if (split.frames.empty() || !decoder) return state.SkipWithError("no test sound or decoder");
    const Mp3FrameHeader& first = split.frames[0].header;
    const std::size_t frames =
        (first.sampleRate + first.samplesPerFrame - 1) / first.samplesPerFrame;
    if (split.frames.size() < frames) return state.SkipWithError("less than a second of sound");
    std::vector<std::int16_t> pcm;
    for (auto _ : state) {
        decoder->Reset();
        pcm.clear();
        for (std::size_t i = 0; i < frames; ++i) {
            const Mp3Frame& f = split.frames[i];
            decoder->DecodeFrame(f.header, file.data() + f.offset, f.header.length, pcm);
        }
        decoder->Finish(pcm);
        benchmark::DoNotOptimize(pcm.data());
    }
    if (pcm.size() != frames * first.samplesPerFrame * first.Channels())
        return state.SkipWithError("the decoder gave out the wrong length");
    ReportShare(state);
}
BENCHMARK_CAPTURE(BM_Mp3Second, mono_22k, "sine22k_mono.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mp3Second, stereo_44k, "sine44k_stereo.mp3")->Unit(benchmark::kMillisecond);

// Any bits are ADPCM: a second of random 4-bit codes in packets of 4096 samples.
void BM_AdpcmSecond(benchmark::State& state) {
    const int rate = static_cast<int>(state.range(0)), channels = static_cast<int>(state.range(1));
    const int packets = (rate + 4095) / 4096;
    const std::size_t bits =
        2 + static_cast<std::size_t>(channels) * (22 * packets + 4 * (rate - packets));
    Bytes data((bits + 7) / 8);
    std::mt19937 random(7);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    data[0] = static_cast<std::uint8_t>((data[0] & 0x3F) | 0x80);  // 4-bit codes
    std::vector<std::int16_t> pcm;
    for (auto _ : state) {
        pcm.clear();
        DecodeAdpcm(data.data(), data.size(), channels, static_cast<std::size_t>(rate), pcm);
        benchmark::DoNotOptimize(pcm.data());
    }
    if (pcm.size() != static_cast<std::size_t>(rate) * channels)
        return state.SkipWithError("not a second of samples");
    ReportShare(state);
}
BENCHMARK(BM_AdpcmSecond)->Args({22050, 1})->Args({44100, 2})->Unit(benchmark::kMicrosecond);

// Keeps each run's share for the lines at the end.
class ShareReporter : public benchmark::ConsoleReporter {
  public:
    std::vector<std::pair<std::string, double>> shares;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const auto it = r.counters.find("of_real_time");
            if (!r.error_occurred && it != r.counters.end())
                shares.emplace_back(r.benchmark_name(), it->second.value);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    ShareReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\ndecoding time / length of the sound:\n");
    for (const auto& [name, share] : reporter.shares)
        std::printf("  %-28s %9.6f  (%.0f times real time)\n", name.c_str(), share,
                    share > 0 ? 1 / share : 0.0);
    benchmark::Shutdown();
    return 0;
}
