#include "scenario/CompiledScripts.h"

#include <algorithm>
#include <string>

#include "runtime/BinaryFile.h"
#include "runtime/Error.h"
#include "scenario/ScriptData.h"

namespace tarnfold {

namespace {

// The `count` records of `size` bytes at `offset`, checked to lie inside the
// file and within what the game loads.
template <typename Record>
std::vector<Record> ReadRecords(BinaryFile& file, const std::string& where, const char* what, int32_t count,
                                int64_t offset, int32_t size, int32_t most) {
    if (count == 0) return {};  // an empty block may point anywhere
    if (count < 0 || count > most)
        throw Error(where + "the scenario holds " + std::to_string(count) + " " + what +
                    " records; the game loads 0 to " + std::to_string(most));
    if (!file.Contains(offset, int64_t{size} * count))
        throw Error(where + "the scenario's " + std::to_string(count) + " " + what + " records at offset " +
                    DescribeOffset(offset) + " do not lie inside the file (" + std::to_string(file.Length()) +
                    " bytes)");
    const std::vector<uint8_t> bytes = file.ReadBytes(offset, static_cast<size_t>(size) * static_cast<size_t>(count));
    std::vector<Record> records;
    for (int32_t r = 0; r < count; ++r) records.push_back(Record::Decode(bytes.data() + int64_t{size} * r));
    return records;
}

}  // namespace

CompiledScripts CompiledScripts::Read(const ScriptData& data, BinaryFile& file, const std::string& where) {
    using namespace scenario;
    CompiledScripts compiled;
    compiled.syntaxDataSize = data.SyntaxDataSize;
    const int32_t size = data.ScriptTableSize;
    if (size < kStringReserve)
        throw Error(where + "the scenario's string data size is " + std::to_string(size) + ", less than its " +
                    std::to_string(kStringReserve) + "-byte reserve");
    if (size > kMaxStringData)
        throw Error(where + "the scenario's string data size is " + std::to_string(size) +
                    ", more than the game loads (" + std::to_string(kMaxStringData) + " bytes)");
    if (!file.Contains(data.ScriptTable, size))
        throw Error(where + "the string data (" + std::to_string(size) + " bytes at offset " +
                    DescribeOffset(data.ScriptTable) + ") does not lie inside the file");
    compiled.strings = file.ReadBytes(data.ScriptTable, static_cast<size_t>(size));

    const int64_t nodesAt = int64_t{data.syntaxHeader} + syntax::kHeaderSize;
    const int64_t nodeBytes = int64_t{syntax::kNodeSize} * data.NodesInUse();
    if (!file.Contains(nodesAt, nodeBytes))
        throw Error(where + "the " + std::to_string(data.NodesInUse()) + " syntax nodes in use at offset " +
                    DescribeOffset(nodesAt) + " do not lie inside the file");
    const std::vector<uint8_t> records = file.ReadBytes(nodesAt, static_cast<size_t>(nodeBytes));
    for (size_t at = 0; at < records.size(); at += syntax::kNodeSize) compiled.nodes.push_back(Syntax::Decode(&records[at]));

    compiled.scripts = ReadRecords<ScriptHeader>(file, where, "script", data.scriptCount, data.scripts,
                                                 script_record::kSize, kMaxScripts);
    compiled.globals = ReadRecords<GlobalRecord>(file, where, "global", std::max(data.globalCount, 0), data.globals,
                                                 global_record::kSize, kMaxGlobals);
    return compiled;
}

}  // namespace tarnfold
