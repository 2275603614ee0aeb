// Throughput of the two loops that grow with the input: the relocation scan
// over a map's tail, and the syntax node builder over a large document.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "compiler/ScriptCompilier.h"
#include "hsc/Translate.h"
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
        benchmark::DoNotOptimize(tarnfold::ScriptCompilier().BuildScripts(document.DocumentElement()).nodeCount);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ParseAndBuild)->Unit(benchmark::kMillisecond);

// HSC that fills a whole syntax data, 19,001 nodes: each script costs 7
// nodes of its own, each (fade_in ...) 6, and the rest is made up with
// (players), 2, and (sleep 30), 3.
std::string FullHsc() {
    constexpr int kNodes = 19001, kScripts = 100, kCalls = 30;
    int left = kNodes;
    std::string text;
    for (int s = 0; s < kScripts; ++s) {
        text += "(script dormant s" + std::to_string(s);
        left -= 7;
        for (int c = 0; c < kCalls; ++c, left -= 6) text += "\n    (fade_in 1 0.5 0.25 30)";
        if (s + 1 < kScripts) text += ")\n";
    }
    for (; left >= 8; left -= 6) text += "\n    (fade_in 1 0.5 0.25 30)";
    for (; left % 3 != 0; left -= 2) text += "\n    (players)";
    for (; left > 0; left -= 3) text += "\n    (sleep 30)";
    return text + ")\n";
}

// What a compile of HSC does before it touches the map: translate and build
// every node.
void HscTranslateAndBuild(benchmark::State& state) {
    const std::string source = FullHsc();
    for (auto _ : state) {
        const tarnfold::XmlNode document = tarnfold::hsc::Translate(source, "full.hsc", tarnfold::Engine::Custom).document;
        const int32_t nodes = tarnfold::ScriptCompilier().BuildScripts(document).nodeCount;
        if (nodes != 19001) state.SkipWithError(("the source fills " + std::to_string(nodes) + " nodes, not 19,001").c_str());
    }
}
BENCHMARK(HscTranslateAndBuild)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
