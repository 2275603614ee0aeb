#include "CompileCheck.h"

#include <unistd.h>

#include <optional>

#include "ExpectedMap.h"
#include "compiler/ScriptCompilier.h"
#include "map/HaloPcMap.h"
#include "runtime/Error.h"
#include "runtime/Numbers.h"
#include "runtime/Xml.h"

namespace tarnfold::fuzz {

namespace {

using testing::Bytes;
using testing::ReadFileBytes;

void Require(bool ok, const std::string& what) {
    if (!ok) throw InvariantBroken(what);
}

// What compiling a document must produce, worked out from the document tree
// alone, without the compiler.
struct Expected {
    int32_t scripts = 0;
    int32_t nodes = 0;       // every node written, fillers included
    int32_t identified = 0;  // nodes that carry an identity (all but fillers)
    std::string texts = std::string("begin") + '\0';
    Bytes records;           // the script records
    std::string refusal;     // why the compile must be refused; empty when it must succeed

    void Refuse(const std::string& why) {
        if (refusal.empty()) refusal = why;
    }
    int32_t Integer(const XmlNode& element, const char* attribute) {
        const auto value = ParseInteger(element.GetAttribute(attribute));
        if (!value) Refuse(std::string("bad number in ") + attribute);
        return value.value_or(0);
    }
    void Store(const std::string& text) { texts += text + '\0'; }

    // One constant or global: which texts it stores depends on its type.
    void Value(const XmlNode& element, bool global) {
        const int32_t type = Integer(element, "ValueType");
        const std::string value = element.GetAttribute("Value");
        const bool keyword = MatchesKeyword(value, "true") || MatchesKeyword(value, "false");
        if (type == 6) {
            if (!ParseReal(value)) Refuse("bad real Value");
        } else if (type == 7 || type == 8 || (global && !(type == 5 && keyword))) {
            Integer(element, "Value");
        }
        if ((type == 5 && !keyword) || type < 5 || type > 8)
            Store(global ? element.GetAttribute("ValueCommand") : value);
    }

    // The nodes made by the expressions below `element`.
    int32_t Body(const XmlNode& element) {
        int32_t made = 0;
        for (const XmlNode& child : element.Children) {
            if (!child.IsElement()) continue;
            if (child.Name == "ScriptCommand") {
                Integer(child, "EngineId");
                Integer(child, "ValueType");
                Store(child.GetAttribute("Command"));
                made += 2 + Body(child);
                continue;
            }
            if (child.HasElementChildren()) Refuse("children under " + child.Name);
            if (child.Name == "ScriptValue" || child.Name == "GlobalValue") {
                Value(child, child.Name == "GlobalValue");
                made += 1;
            }
        }
        return made;
    }

    // `capacity` is the number of nodes the map's syntax data holds.
    Expected(const XmlNode& root, int32_t capacity) {
        for (const XmlNode& script : root.Children) {
            if (!script.IsElement()) continue;
            const int32_t type = Integer(script, "TypeAttr");
            const int32_t returnType = Integer(script, "ReTypeAttr");
            const std::string name = script.GetAttribute("NameAttr");
            if (name.size() > 31) Refuse("name too long");
            const int32_t body = Body(script);
            if (body == 0) Refuse("empty script");
            const Bytes record = testing::ScriptRecord(name.substr(0, 31), type, returnType, nodes + 4 + body);
            records.insert(records.end(), record.begin(), record.end());
            ++scripts;
            nodes += 4 + body + 3;
            identified += body + 2;
        }
        if (nodes > capacity) Refuse("over capacity");
    }
};

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

void CheckCompiled(const std::filesystem::path& path, const Bytes& before, const Layout& old,
                   const Expected& expected) {
    const Bytes after = ReadFileBytes(path);
    const int64_t nodesAt = int64_t{old.data.ScriptNode} + 20;
    Require(int64_t(after.size()) >= nodesAt + 20 * int64_t{expected.nodes}, "the compiled map lost its nodes");
    const Bytes model = testing::ExpectedMap(
        before, {testing::Nodes(testing::Slice(after, nodesAt, 20 * int64_t{expected.nodes})), expected.identified,
                 expected.texts, expected.records});
    const std::string difference = testing::Difference(after, model);
    Require(difference.empty(), "the compiled map is not the expected map: " + difference);

    // Compiling again is refused: the scenario now holds compiled scripts.
    XmlDocument again;
    again.LoadXml("<s><s NameAttr='x'><ScriptValue ValueType='8' Value='1'/></s></s>");
    try {
        HaloPcMap now;
        now.LoadMap(path);
        ScriptCompilier().BuildScriptData(now, again);
        Require(false, "a second compile into the same map was not refused");
    } catch (const Error& e) {
        Require(std::string(e.what()).find("already holds compiled scripts") != std::string::npos,
                std::string("a second compile was refused for another reason: ") + e.what());
    }
    Require(ReadFileBytes(path) == after, "the refused second compile changed the map");
}

}  // namespace

const std::filesystem::path& ScratchFolder() {
    static const testing::TempFolder folder(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "");
    return folder.Path();
}

Outcome CompileAndCheck(const std::filesystem::path& mapPath, std::string_view document) {
    const Bytes before = ReadFileBytes(mapPath);
    const auto listing = [folder = mapPath.parent_path()] { return testing::Names(folder); };
    const auto files = listing();
    const Layout old = ReadLayout(mapPath);

    Outcome outcome;
    std::optional<Expected> expected;
    try {
        XmlDocument parsed;
        parsed.PreserveWhitespace = false;
        parsed.LoadXml(document);
        if (old.checked) expected.emplace(parsed.DocumentElement(), old.data.NodeCapacity());
        HaloPcMap map;
        map.LoadMap(mapPath);
        ScriptCompilier().BuildScriptData(map, parsed);
        outcome.compiled = true;
    } catch (const Error& e) {
        outcome.refusal = e.what();
    }

    if (!outcome.compiled) {
        Require(!outcome.refusal.empty(), "a refusal without a message");
        Require(ReadFileBytes(mapPath) == before, "refused, but the map changed: " + outcome.refusal);
        Require(listing() == files, "refused, but a file was left behind: " + outcome.refusal);
        Require(!expected || !expected->refusal.empty(),
                "refused a document that compiles into this map: " + outcome.refusal);
        return outcome;
    }
    Require(old.checked, "compiled into a map that fails the checks of a compile");
    Require(expected && expected->refusal.empty(),
            "compiled a document that must be refused (" + (expected ? expected->refusal : "") + ")");
    CheckCompiled(mapPath, before, old, *expected);
    Require(listing() == files, "the compile left a file behind");
    return outcome;
}

}  // namespace tarnfold::fuzz
