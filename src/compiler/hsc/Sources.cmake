# The HSC front end (included by src/CMakeLists.txt): its tables are generated
# at build time from data/hsc/*.tsv by a small generator of our own.
if(CMAKE_CROSSCOMPILING)
  # A generator built for the target would not run here: it is built with
  # this machine's compiler instead.
  set(hsc_generator ${CMAKE_CURRENT_BINARY_DIR}/host/tarnfold_hsc_tables)
  add_custom_command(
    OUTPUT ${hsc_generator}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/host
    COMMAND c++ -std=c++20 -O2 ${CMAKE_CURRENT_SOURCE_DIR}/compiler/hsc/GenerateTables.cpp -o ${hsc_generator}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/compiler/hsc/GenerateTables.cpp
    COMMENT "Building the script table generator for this machine"
    VERBATIM)
else()
  add_executable(tarnfold_hsc_tables compiler/hsc/GenerateTables.cpp)
  set(hsc_generator tarnfold_hsc_tables)
endif()
set(TARNFOLD_HSC_DATA ${PROJECT_SOURCE_DIR}/data/hsc)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/HscTables.cpp
  COMMAND ${hsc_generator} ${TARNFOLD_HSC_DATA} ${CMAKE_CURRENT_BINARY_DIR}/HscTables.cpp
  DEPENDS ${hsc_generator}
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
