#pragma once

namespace zx::db {

// For the reliability tests only, which kill a save at each statement of its
// transaction: with ZXWIZARD_PAUSE_IN_SAVE=<n>:<FIFO>, the n-th statement
// after BEGIN waits before it runs for as long as a test holds the FIFO open
// for reading. Unset, malformed, not a FIFO or nobody reading: no pause and
// no other effect.
void pauseInsideSave(int statement);

}  // namespace zx::db
