#pragma once

namespace tarnfold::test_hooks {

// Called by the map writer after each chunk it writes. When the environment
// variable TARNFOLD_TEST_PAUSE_AFTER_CHUNKS holds N, the process announces
// "paused" on stderr after chunk N and waits to be killed, so crash tests can
// kill a compile at a chosen point. Does nothing otherwise.
void ChunkWritten(int chunks);

}  // namespace tarnfold::test_hooks
