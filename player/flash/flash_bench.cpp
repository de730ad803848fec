// How close loading a movie file comes to its limits: loading a large scrambled compressed movie
// against a plain zlib inflate of the same data, and reading through the container against a
// plain read of a file of the same size. And how close scaling a sound buffer comes to copying
// it. Prints the ratios at the end.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "MovieControl.h"
#include "MovieImage.h"
#include "OsFile.h"
#include "ShockwaveEx.h"
#include "WaveScale.h"
#include "ukpv.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMovieBody = 32u << 20;

// A control that takes the image and does nothing with it.
class NullControl : public MovieControl {
  public:
    std::size_t loaded = 0;
    void Play() override {}
    void Stop() override {}
    void LoadMovie(int, const std::u16string&) override {}
    void SetVariable(const std::u16string&, const std::u16string&) override {}
    FlashValue GetProperty(int id) override { return DefaultFlashValue(id); }
    void SetProperty(int, const FlashValue&) override {}
    std::uint32_t SaveStateSizeMax() override { return 278; }
    void SaveState(std::vector<std::uint8_t>& buffer) override { buffer[0] = 0x67; }
    void LoadState(const std::vector<std::uint8_t>& image) override { loaded = image.size(); }
    void SetEvents(MovieControlEvents*) override {}
};

struct Files {
    std::filesystem::path folder;
    std::string scrambledCws, scrambledFws, plainFws;
    Bytes deflated;  // the compressed part of the movie
    std::size_t movieLength = 0;

    Files() {
        folder = std::filesystem::temp_directory_path() / "variz-flash-bench";
        std::filesystem::create_directories(folder);
        // Half random, half repeating, roughly as compressible as a movie with pictures and sound.
        Bytes body(kMovieBody);
        std::mt19937 random(7);
        for (std::size_t i = 0; i < body.size(); ++i)
            body[i] = (i / 2048) % 2 ? static_cast<std::uint8_t>(random())
                                     : static_cast<std::uint8_t>(i / 64);
        movieLength = body.size() + 8;
        uLongf size = compressBound(static_cast<uLong>(body.size()));
        deflated.resize(size);
        compress(deflated.data(), &size, body.data(), static_cast<uLong>(body.size()));
        deflated.resize(size);

        const auto header = [&](char first) {
            Bytes h{static_cast<std::uint8_t>(first), 'W', 'S', 8};
            for (int i = 0; i < 4; ++i)
                h.push_back(static_cast<std::uint8_t>(movieLength >> (8 * i)));
            return h;
        };
        Bytes cws = header('C');
        cws.insert(cws.end(), deflated.begin(), deflated.end());
        Bytes fws = header('F');
        fws.insert(fws.end(), body.begin(), body.end());

        scrambledCws = (folder / "movie_cws.kpv").string();
        scrambledFws = (folder / "movie_fws.kpv").string();
        plainFws = (folder / "movie_fws.swf").string();
        Write(scrambledCws, cws, true);
        Write(scrambledFws, fws, true);
        Write(plainFws, fws, false);
    }
    ~Files() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    // Both kinds in one write, so that the file system keeps them alike.
    static void Write(const std::string& path, const Bytes& data, bool scrambled) {
        Bytes file = data;
        if (scrambled) {
            KpvTransformBuffer(file.data(), file.size());
            file.insert(file.begin(), {'K', 'P', 'V', kKpvWriteVersion});
        }
        osfile::File f(osfile::Create(path));
        osfile::Write(f.get(), file.data(), file.size());
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

void BM_LoadMovieFile_ScrambledCompressed(benchmark::State& state) {
    Files& f = TheFiles();
    NullControl control;
    for (auto _ : state) {
        LoadMovieFile(control, f.scrambledCws);
        benchmark::DoNotOptimize(control.loaded);
    }
    if (control.loaded < f.movieLength) state.SkipWithError("the movie did not load");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.movieLength));
}

void BM_PlainInflate(benchmark::State& state) {
    Files& f = TheFiles();
    Bytes out(f.movieLength - 8);
    for (auto _ : state) {
        uLongf size = static_cast<uLongf>(out.size());
        uncompress(out.data(), &size, f.deflated.data(), static_cast<uLong>(f.deflated.size()));
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.movieLength));
}

// The same inflate into memory that was never touched, as any loader's new buffer is: the cost
// of first touching pages is part of loading a movie.
void BM_PlainInflateFresh(benchmark::State& state) {
    Files& f = TheFiles();
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[f.movieLength - 8]);
        uLongf size = static_cast<uLongf>(f.movieLength - 8);
        uncompress(out.get(), &size, f.deflated.data(), static_cast<uLong>(f.deflated.size()));
        benchmark::DoNotOptimize(out.get());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.movieLength));
}

void BM_ContainerRead_Scrambled(benchmark::State& state) {
    Files& f = TheFiles();
    Bytes out(f.movieLength + 16);
    for (auto _ : state) {
        TKPVFileStream s(f.scrambledFws, 0);
        benchmark::DoNotOptimize(s.ReadFully(out.data(), out.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.movieLength));
}

void BM_PlainRead(benchmark::State& state) {
    Files& f = TheFiles();
    Bytes out(f.movieLength + 16);
    for (auto _ : state) {
        osfile::File file(osfile::Open(f.plainFws, 0));
        benchmark::DoNotOptimize(osfile::Read(file.get(), out.data(), out.size()));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * f.movieLength));
}

// A wave-out buffer of 16-bit stereo scaled in place, against a memcpy of the same buffer; the
// sizes of a sound buffer and of a long sound.
void BM_ScaleSamples16Stereo(benchmark::State& state) {
    const auto bytes = static_cast<std::uint32_t>(state.range(0));
    std::vector<std::int16_t> samples(bytes / 2);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(i * 7919);
    for (auto _ : state) {
        flashvol::ScaleSamples(samples.data(), bytes, 2, 80, 16);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * bytes);
}

void BM_Memcpy(benchmark::State& state) {
    const auto bytes = static_cast<std::size_t>(state.range(0));
    Bytes from(bytes, 0x5A), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

BENCHMARK(BM_LoadMovieFile_ScrambledCompressed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainInflate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainInflateFresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainerRead_Scrambled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaleSamples16Stereo)->Arg(64 << 10)->Arg(16 << 20);
BENCHMARK(BM_Memcpy)->Arg(64 << 10)->Arg(16 << 20);

// Keeps each benchmark's time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> times;
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        // The median when there are repetitions, the single run otherwise.
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                times[name] = r.GetAdjustedRealTime(), medians.insert(name);
            else if (r.run_type == Run::RT_Iteration && !medians.count(name))
                times[name] = r.GetAdjustedRealTime();
        }
    }
    std::set<std::string> medians;
};

void PrintRatio(const RatioReporter& r, const char* what, const std::string& a,
                const std::string& b) {
    const auto x = r.times.find(a), y = r.times.find(b);
    if (x == r.times.end() || y == r.times.end() || y->second <= 0) return;
    std::printf("%-58s %6.2f\n", what, x->second / y->second);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nratios (1.00 is the limit):\n");
    PrintRatio(reporter, "LoadMovieFile, scrambled CWS / plain zlib inflate",
               "BM_LoadMovieFile_ScrambledCompressed", "BM_PlainInflate");
    PrintRatio(reporter, "LoadMovieFile, scrambled CWS / inflate into fresh memory",
               "BM_LoadMovieFile_ScrambledCompressed", "BM_PlainInflateFresh");
    PrintRatio(reporter, "container read, scrambled / plain read", "BM_ContainerRead_Scrambled",
               "BM_PlainRead");
    PrintRatio(reporter, "scaling 16-bit stereo in place, 64 KiB / memcpy",
               "BM_ScaleSamples16Stereo/65536", "BM_Memcpy/65536");
    PrintRatio(reporter, "scaling 16-bit stereo in place, 16 MiB / memcpy",
               "BM_ScaleSamples16Stereo/16777216", "BM_Memcpy/16777216");
    benchmark::Shutdown();
    return 0;
}
