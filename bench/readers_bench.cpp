// moravel-bench-readers: decode throughput of the production's own data files (Google Benchmark).
// The data folder is the first argument; the rest go to Google Benchmark. Throughput is counted in
// file bytes read; the decoded pixel bytes are reported beside it as pixels_per_second.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "textures/point_model.h"
#include "textures/textures.h"

namespace {

struct DataFile {
    std::string Name;
    std::vector<std::uint8_t> Bytes;
};

using Decoder = DecodeResult (*)(const std::uint8_t*, std::size_t, const char*, bool);

std::vector<DataFile> ReadFiles(const std::filesystem::path& folder, const std::string& extension)
{
    std::vector<DataFile> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != extension)
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files.push_back(
            {entry.path().filename().string(), std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {})});
    }
    std::sort(files.begin(), files.end(), [](const DataFile& a, const DataFile& b) { return a.Name < b.Name; });
    return files;
}

// One iteration decodes every file of the format once.
void DecodeAll(benchmark::State& state, Decoder decode, const std::vector<DataFile>& files)
{
    std::size_t fileBytes = 0;
    std::size_t pixelBytes = 0;
    for (auto _ : state) {
        fileBytes = pixelBytes = 0;
        for (const DataFile& file : files) {
            const DecodeResult result = decode(file.Bytes.data(), file.Bytes.size(), file.Name.c_str(), false);
            if (!result.Ok) {
                state.SkipWithError(("cannot decode " + file.Name).c_str());
                return;
            }
            fileBytes += file.Bytes.size();
            pixelBytes += result.Picture.Pixels.size();
            benchmark::DoNotOptimize(result.Picture.Pixels.data());
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileBytes));
    state.counters["files"] = static_cast<double>(files.size());
    state.counters["pixels_per_second"] =
        benchmark::Counter(static_cast<double>(pixelBytes), benchmark::Counter::kIsIterationInvariantRate);
}

// The models are big (about 3.6 MB each), so they live outside the stack.
PointModel Model;

void ParseModel(benchmark::State& state, const DataFile& file)
{
    std::string error;
    for (auto _ : state) {
        if (!ParsePointModel(file.Bytes.data(), file.Bytes.size(), Model, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.Bytes.size()));
    state.counters["triangles"] = Model.TriangleCount;
}

// The production's path: file read, backslash name and all.
void LoadModel(benchmark::State& state, const std::string& productionName, std::size_t size)
{
    for (auto _ : state) {
        if (!LoadPointModel(productionName.c_str(), Model)) {
            state.SkipWithError(("cannot load " + productionName).c_str());
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr,
                     "usage: %s DATA-FOLDER [benchmark options]\n"
                     "  run in the folder that holds DATA-FOLDER, as the production names its models\n",
                     argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    static const std::vector<DataFile> jpegs = ReadFiles(folder, ".jpg");
    static const std::vector<DataFile> tgas = ReadFiles(folder, ".tga");
    static const std::vector<DataFile> models = ReadFiles(folder, ".txt");
    if (jpegs.empty() || tgas.empty() || models.empty()) {
        std::fprintf(stderr, "%s: no .jpg, .tga or .txt files in %s\n", argv[0], argv[1]);
        return 1;
    }
    benchmark::RegisterBenchmark("DecodeJPG/all", DecodeAll, DecodeJPG, jpegs)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("DecodeTGA/all", DecodeAll, DecodeTGA, tgas)->Unit(benchmark::kMillisecond);
    for (const DataFile& model : models) {
        benchmark::RegisterBenchmark(("ParsePointModel/" + model.Name).c_str(), ParseModel, model)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("LoadPointModel/" + model.Name).c_str(), LoadModel,
                                     folder.filename().string() + "\\" + model.Name, model.Bytes.size())
            ->Unit(benchmark::kMillisecond);
    }
    argv[1] = argv[0];
    int rest = argc - 1;
    benchmark::Initialize(&rest, argv + 1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
