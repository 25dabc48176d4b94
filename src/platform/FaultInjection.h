#pragma once
// Test-only fault switches in the platform layer. Nothing a user can reach arms them: they are
// off unless a test calls these functions. Counting starts when a switch is armed.
#include <cstdint>

namespace tessary::fault {

// Disarms every switch.
void Reset();
// The n-th (1-based) GrowBlock::Create or Grow from now fails with kErrorNotEnoughMemory.
void FailNthAllocation(int n);
// The n-th File::ReadAt from now fails (kErrorReadFault), or when `shortRead` returns half of
// what it would have read.
void FailNthRead(int n, bool shortRead = false);
// The n-th File::WriteAt from now fails with kErrorWriteFault.
void FailNthWrite(int n);
// The n-th worker thread start from now fails as if the system had no thread left (EAGAIN).
void FailNthThreadStart(int n);
// While on, a record walk tests for a stop request (and posts its progress) before every record
// instead of every 100 ms, so that a test stops a walk at the record it chooses.
void CheckStopAtEveryRecord(bool on);

// Used by the code under test: true when this call is the armed one (the switch then disarms).
bool ShouldFailAllocation();
// 0 no fault, 1 fail, 2 short read.
int ReadFault();
bool ShouldFailWrite();
bool ShouldFailThreadStart();
bool StopCheckAtEveryRecord();

}  // namespace tessary::fault
