#include "CompileCheck.h"

#include <optional>
#include <vector>

#include "ExpectedBuild.h"
#include "ScratchFolder.h"
#include "SyntheticMap.h"
#include "compiler/ScriptCompilier.h"
#include "map/HaloPcMap.h"
#include "runtime/ByteOrder.h"
#include "runtime/Error.h"
#include "runtime/Xml.h"

namespace tarnfold::fuzz {

namespace {

using Bytes = std::vector<uint8_t>;

void Require(bool ok, const std::string& what) {
    if (!ok) throw InvariantBroken(what);
}

// The map as the compile found it, when it loads.
struct Layout {
    HaloPcMap map;
    ScriptCompilier data;
    bool checked = false;  // loads and passes every check a compile makes
};

Layout ReadLayout(const std::filesystem::path& path) {
    Layout layout;
    try {
        layout.map.LoadMap(path);
        layout.data.LoadScriptData(layout.map);
        layout.data.NodeCapacity();  // as `info` shows it, whatever the size field holds
        layout.data.CheckScriptData(layout.map);
        layout.checked = true;
    } catch (const Error&) {
    }
    return layout;
}

// Where a compile may change the bytes before the string data.
std::vector<bool> WritableHead(const Layout& old, int32_t nodes) {
    std::vector<bool> writable(static_cast<size_t>(old.data.ScriptTable), false);
    const auto allow = [&writable](int64_t from, int64_t count) {
        for (int64_t i = from; i < from + count; ++i)
            if (i >= 0 && i < static_cast<int64_t>(writable.size())) writable[static_cast<size_t>(i)] = true;
    };
    for (int32_t i = 0; i < old.map.TagCount; ++i) allow(int64_t{old.map.tagOffset} + 32 * i + 20, 4);
    const int64_t S = old.map.Scenario()->Offset;
    allow(S + 1160, 4);
    allow(S + 1180, 8);
    allow(S + 1448, 4);
    allow(int64_t{old.data.ScriptNode} + 10, 10 + int64_t{20} * nodes);
    return writable;
}

void CheckCompiled(const std::filesystem::path& path, const Bytes& before, const Layout& old,
                   const ExpectedBuild& expected) {
    const Bytes after = testing::ReadFileBytes(path);
    Require(static_cast<int64_t>(after.size()) == static_cast<int64_t>(before.size()) + expected.Growth(),
            "the map grew by " + std::to_string(after.size() - before.size()) + " bytes, the document needs " +
                std::to_string(expected.Growth()));

    Layout now;
    try {
        now.map.LoadMap(path);
        now.data.LoadScriptData(now.map);
    } catch (const Error& e) {
        Require(false, std::string("the compiled map does not load: ") + e.what());
    }
    Require(now.map.Magic == old.map.Magic && now.map.TagCount == old.map.TagCount &&
                now.map.Scenario()->Offset == old.map.Scenario()->Offset,
            "the compiled map has another tag index or scenario");
    // A tag's data moves with the tail exactly when its address falls in the
    // moved range (compared as signed 32-bit addresses), and by the growth.
    const int32_t magic = old.map.Magic;
    const int64_t P = int64_t{old.data.ScriptTable} + old.data.ScriptTableSize;
    const auto moves = [&](int32_t offset) {
        const int32_t address = Wrap32(int64_t{offset} + magic);
        return Wrap32(P + magic) <= address && address < static_cast<int64_t>(after.size()) + magic;
    };
    for (int32_t i = 0; i < old.map.TagCount; ++i) {
        const Tag& a = old.map.TagCache[static_cast<size_t>(i)];
        const Tag& b = now.map.TagCache[static_cast<size_t>(i)];
        Require(a.Class1 == b.Class1 && a.Class2 == b.Class2 && a.Class3 == b.Class3 && a.ident == b.ident,
                "tag " + std::to_string(i) + " changed its class or identifier");
        Require(b.Offset == (moves(a.Offset) ? Wrap32(int64_t{a.Offset} + expected.Growth()) : a.Offset),
                "tag " + std::to_string(i) + "'s data address did not follow its data");
    }

    const auto L = static_cast<int32_t>(expected.texts.size());
    Require(now.data.ScriptTable == old.data.ScriptTable && now.data.ScriptNode == old.data.ScriptNode &&
                now.data.SyntaxDataSize == old.data.SyntaxDataSize,
            "the script data moved");
    Require(now.data.ScriptTableSize == 1024 + L, "the string data size is " +
                                                      std::to_string(now.data.ScriptTableSize) + ", expected " +
                                                      std::to_string(1024 + L));
    const int64_t S = old.map.Scenario()->Offset;
    Require(ReadInt32LE(&after[static_cast<size_t>(S + 1180)]) == expected.scripts, "wrong script count");
    Require(ReadInt32LE(&after[static_cast<size_t>(S + 1448)]) ==
                Wrap32(int64_t{ReadInt32LE(&before[static_cast<size_t>(S + 1448)])} + expected.Growth()),
            "the scenario's moved address did not move by the growth");

    const uint8_t* header = &after[static_cast<size_t>(old.data.ScriptNode + 10)];
    Require(ReadInt16LE(header) == static_cast<int16_t>(expected.nodes - 1) &&
                ReadInt16LE(header + 2) == static_cast<int16_t>(expected.identified) &&
                ReadInt16LE(header + 4) == static_cast<int16_t>(expected.nodes - 7309 - 1) &&
                ReadInt32LE(header + 6) == 0,
            "the syntax data header does not count the document's nodes");

    // The scan may rewrite anything from tag 1's data on, the texts included.
    const int64_t scanStart = old.map.TagCache.at(1).Offset;
    for (int64_t i = 0; i < L && old.data.ScriptTable + i < scanStart; ++i)
        Require(after[static_cast<size_t>(old.data.ScriptTable + i)] == static_cast<uint8_t>(expected.texts[i]),
                "the string data differs from the document's texts at byte " + std::to_string(i));

    const auto writable = WritableHead(old, expected.nodes);
    for (size_t i = 0; i < writable.size(); ++i)
        Require(writable[i] || after[i] == before[i],
                "byte " + std::to_string(i) + " before the string data changed, where a compile writes nothing");

    // Compiling again is refused: the scenario now holds compiled scripts.
    XmlDocument again;
    again.LoadXml("<s><s NameAttr='x'><ScriptValue ValueType='8' Value='1'/></s></s>");
    try {
        ScriptCompilier().BuildScriptData(now.map, again);
        Require(false, "a second compile into the same map was not refused");
    } catch (const Error& e) {
        Require(std::string(e.what()).find("already holds compiled scripts") != std::string::npos,
                std::string("a second compile was refused for another reason: ") + e.what());
    }
    Require(testing::ReadFileBytes(path) == after, "the refused second compile changed the map");
}

}  // namespace

Outcome CompileAndCheck(const std::filesystem::path& mapPath, std::string_view document) {
    const Bytes before = testing::ReadFileBytes(mapPath);
    const auto folder = mapPath.parent_path();
    const auto files = ListFolder(folder);
    const Layout old = ReadLayout(mapPath);

    Outcome outcome;
    std::optional<ExpectedBuild> expected;
    try {
        XmlDocument parsed;
        parsed.PreserveWhitespace = false;
        parsed.LoadXml(document);
        if (old.checked) expected = Expect(parsed.DocumentElement(), old.data.NodeCapacity());
        HaloPcMap map;
        map.LoadMap(mapPath);
        ScriptCompilier().BuildScriptData(map, parsed);
        outcome.compiled = true;
    } catch (const Error& e) {
        outcome.refusal = e.what();
    }

    if (!outcome.compiled) {
        Require(!outcome.refusal.empty(), "a refusal without a message");
        Require(testing::ReadFileBytes(mapPath) == before, "refused, but the map changed: " + outcome.refusal);
        Require(ListFolder(folder) == files, "refused, but a file was left behind: " + outcome.refusal);
        Require(!expected || !expected->refusal.empty(),
                "refused a document that compiles into this map: " + outcome.refusal);
        return outcome;
    }
    Require(old.checked, "compiled into a map that fails the checks of a compile");
    Require(expected && expected->refusal.empty(),
            "compiled a document that must be refused (" + (expected ? expected->refusal : "") + ")");
    CheckCompiled(mapPath, before, old, *expected);
    Require(ListFolder(folder) == files, "the compile left a file behind");
    return outcome;
}

}  // namespace tarnfold::fuzz
