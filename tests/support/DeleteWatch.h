// Tells a test whether one heap block has been freed. The test program's
// global operator delete is replaced for this (it frees as the default
// one does, with free); one block is watched at a time.
#pragma once

void WatchForDelete(const void* pBlock);
bool WatchedBlockDeleted();
