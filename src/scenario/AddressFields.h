#pragma once

#include <cstdint>
#include <span>

namespace tarnfold::scenario {

// The words of the scenario's main struct that hold addresses, as offsets
// from the scenario tag's data: the address of every block (its offset + 4),
// of every tag data field (offset + 12) and the path address of every tag
// reference (offset + 4). The blocks of the script data that a compile
// writes itself, and the structure BSPs address (+1448), which moves by its
// own rule, are not among them.
std::span<const int64_t> AddressFields();

}  // namespace tarnfold::scenario
