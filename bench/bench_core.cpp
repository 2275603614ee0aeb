// Throughput of the two loops that grow with the input: the relocation scan
// over a map's tail, and the syntax node builder over a large document.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "compiler/ScriptCompilier.h"
#include "map/Relocation.h"
#include "runtime/Xml.h"

namespace {

void RelocationScan(benchmark::State& state) {
    std::vector<uint8_t> chunk(size_t{4} << 20);
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>(i * 2654435761u >> 13);
    const tarnfold::Relocation relocation{0x1000, 0x40440000, 104, 256 << 20};
    for (auto _ : state) benchmark::DoNotOptimize(relocation.ApplyToWords(chunk.data(), chunk.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * chunk.size()));
}
BENCHMARK(RelocationScan);

std::string LargeDocument(int scripts, int commandsPerScript) {
    std::string text = "<scripts>";
    for (int s = 0; s < scripts; ++s) {
        text += "<script NameAttr=\"s" + std::to_string(s) + "\" TypeAttr=\"1\" ReTypeAttr=\"4\">";
        for (int c = 0; c < commandsPerScript; ++c)
            text += "<ScriptCommand Command=\"sleep\" EngineId=\"3\" ValueType=\"4\">"
                    "<ScriptValue ValueType=\"7\" Value=\"30\"/>"
                    "<GlobalValue ValueType=\"11\" Value=\"2\" ValueCommand=\"player_count\"/>"
                    "<ScriptValue ValueType=\"6\" Value=\"0.25\"/></ScriptCommand>";
        text += "</script>";
    }
    return text + "</scripts>";
}

void ParseAndBuild(benchmark::State& state) {
    const std::string text = LargeDocument(100, 200);
    for (auto _ : state) {
        tarnfold::XmlDocument document;
        document.LoadXml(text);
        tarnfold::ScriptCompilier compiler;
        compiler.BuildScripts(document.DocumentElement());
        benchmark::DoNotOptimize(compiler.NodeCount());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseAndBuild)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
