# The HSC front end (included by src/CMakeLists.txt): its tables are generated
# at build time from data/hsc/*.tsv by a small generator of our own.
add_executable(tarnfold_hsc_tables compiler/hsc/GenerateTables.cpp)
set(TARNFOLD_HSC_DATA ${PROJECT_SOURCE_DIR}/data/hsc)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/HscTables.cpp
  COMMAND tarnfold_hsc_tables ${TARNFOLD_HSC_DATA} ${CMAKE_CURRENT_BINARY_DIR}/HscTables.cpp
  DEPENDS tarnfold_hsc_tables
          ${TARNFOLD_HSC_DATA}/functions.tsv ${TARNFOLD_HSC_DATA}/globals.tsv
          ${TARNFOLD_HSC_DATA}/value-types.tsv ${TARNFOLD_HSC_DATA}/script-types.tsv
  COMMENT "Generating the script tables from data/hsc"
  VERBATIM)
target_sources(tarnfold_core PRIVATE
  ${CMAKE_CURRENT_BINARY_DIR}/HscTables.cpp
  compiler/hsc/CheckNames.cpp
  compiler/hsc/Diagnostics.cpp
  compiler/hsc/Lexer.cpp
  compiler/hsc/Parser.cpp
  compiler/hsc/Target.cpp
  compiler/hsc/Tables.cpp
  compiler/hsc/Translate.cpp
  compiler/hsc/WriteHsc.cpp
)
