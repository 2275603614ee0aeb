// Map bytes in, one fixed document compiled into them: whatever the bytes,
// the compile refuses with the map untouched or writes a sound map.
#include <string_view>

#include "CompileCheck.h"
#include "TestSupport.h"
#include "compiler/Tarnfold.h"
#include "runtime/Error.h"

namespace {

// Two scripts touching every kind of node and both text rules.
constexpr std::string_view kDocument = R"(<scripts>
  <script NameAttr="intro" TypeAttr="1" ReTypeAttr="4">
    <ScriptCommand Command="alpha" EngineId="3" ValueType="4">
      <ScriptValue ValueType="7" Value="30"/>
      <GlobalValue ValueType="11" Value="2" ValueCommand="beta"/>
    </ScriptCommand>
    <ScriptValue ValueType="5" Value="true"/>
    <ScriptValue ValueType="6" Value="0.25"/>
  </script>
  <script NameAttr="outro"><ScriptValue ValueType="0" Value="gamma"/></script>
</scripts>)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto map = tarnfold::fuzz::ScratchFolder() / "fuzz.map";
    tarnfold::testing::WriteFile(map, data, size);
    tarnfold::fuzz::CompileAndCheck(map, kDocument);
    try { tarnfold::ReadScripts(map); } catch (const tarnfold::Error&) {}  // no crash, hang or stray read
    return 0;
}
