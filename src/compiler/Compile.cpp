#include "compiler/Compile.h"

#include "compiler/MapFile.h"
#include "compiler/ScriptCompilier.h"
#include "compiler/ScriptReader.h"
#include "engine/LoadCheck.h"
#include "runtime/Error.h"
#include "runtime/XmlAttributes.h"
#include "scenario/ScriptData.h"

namespace tarnfold {

using namespace scenario;

void CheckLimits(const ScriptBuild& build, const ScriptData& data) {
    // The header's count would wrap, whatever room the syntax data has.
    if (build.nodeCount > syntax::kMaxNodes)
        throw Error("the scripts need " + std::to_string(build.nodeCount) + " syntax nodes; a scenario holds at most " +
                    std::to_string(syntax::kMaxNodes) + ", the most its syntax data header can count");
    if (build.nodeCount > data.NodeCapacity())
        throw Error("the scripts need " + std::to_string(build.nodeCount) +
                    " syntax nodes, but the scenario's syntax data holds at most " +
                    std::to_string(data.NodeCapacity()) + " (syntax data size " +
                    std::to_string(data.SyntaxDataSize) + ")");
    if (build.scripts.size() > static_cast<size_t>(kMaxScripts))
        throw Error("the document holds " + std::to_string(build.scripts.size()) +
                    " scripts; the game loads at most " + std::to_string(kMaxScripts) + " scripts per scenario");
    if (build.globals.size() > static_cast<size_t>(kMaxGlobals))
        throw Error("the document holds " + std::to_string(build.globals.size()) +
                    " globals; the game loads at most " + std::to_string(kMaxGlobals) + " globals per scenario");
    const int64_t stringData = int64_t{build.TextBytes()} + kStringReserve;
    if (stringData > kMaxStringData)
        throw Error("the scripts' texts need " + std::to_string(stringData) + " bytes of string data (with its " +
                    std::to_string(kStringReserve) + "-byte reserve); the game loads at most " +
                    std::to_string(kMaxStringData) + " bytes");
}

CompiledScripts AsCompiled(const ScriptBuild& build, int32_t syntaxDataSize) {
    CompiledScripts compiled;
    compiled.syntaxDataSize = syntaxDataSize;
    for (size_t at = 0; at < build.nodes.size(); at += syntax::kNodeSize)
        compiled.nodes.push_back(Syntax::Decode(&build.nodes[at]));
    compiled.strings = build.texts;
    compiled.scripts = build.scripts;
    compiled.globals = build.globals;
    return compiled;
}

LoadCheck CheckGameLoad(const CompiledScripts& scripts, const Level& level, Engine engine,
                        const std::vector<const XmlNode*>& sources, std::vector<Diagnostic>* warnings) {
    engine::LoadReport report = engine::CheckLoad(scripts, level, engine);
    LoadCheck check{true, report.failures.empty(), {}, std::move(report.unchecked)};
    constexpr const char* kDropped = " (the game will not load the map's scripts)";
    for (const engine::LoadFailure& failure : report.failures) {
        // A node a document element made is told by that element's place.
        const XmlNode* source = failure.node >= 0 && static_cast<size_t>(failure.node) < sources.size()
                                    ? sources[failure.node]
                                    : nullptr;
        check.failures.push_back(source ? DescribeElement(*source) + ": " + failure.what : failure.Text());
        if (warnings)
            warnings->push_back(source ? AtElement(*source, "game-load", ": " + failure.what + kDropped)
                                       : Diagnostic{{}, 0, 0, "game-load", failure.Text() + kDropped});
    }
    return check;
}

void CheckStrict(const ScriptBuild& build, bool strict) {
    if (strict && !build.warnings.empty())
        throw Error(std::to_string(build.warnings.size()) +
                    " warning(s), and strict checking turns them into errors; nothing was written");
}

void VerifyReadBack(const ScriptBuild& build, const HaloPcMap& map, const std::filesystem::path& written) {
    std::string why;
    try {
        MapFile again(written);
        again.map.f = map.f;  // messages name the map, not the temporary file
        const ScriptBuild rebuilt = ScriptCompilier().BuildScripts(ReadScriptDocument(again), {}, &again.map.TagCache);
        const auto records = [](const auto& list) {
            std::vector<uint8_t> bytes;
            for (const auto& record : list) {
                const auto encoded = record.Encode();
                bytes.insert(bytes.end(), encoded.begin(), encoded.end());
            }
            return bytes;
        };
        if (rebuilt.nodes != build.nodes) why = "their syntax nodes differ";
        else if (rebuilt.texts != build.texts) why = "their texts differ";
        else if (records(rebuilt.scripts) != records(build.scripts)) why = "their script records differ";
        else if (records(rebuilt.globals) != records(build.globals)) why = "their global records differ";
    } catch (const Error& error) {
        why = error.what();
    }
    if (!why.empty())
        throw Error("internal error: the scripts read back from the new map do not build the same bytes (" + why +
                    "); the map was not changed");
}

}  // namespace tarnfold
