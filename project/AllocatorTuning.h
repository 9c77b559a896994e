#pragma once

// Saving a project of 100,000 nodes builds a libxml2 document of well over a million small blocks
// and frees it again. glibc's fast bins would hold each freed block unmerged until the next large
// allocation, then merge them all in one pass that wanders over the whole heap; with fast bins off
// a block merges with its neighbours as it is freed, while they are still in the cache. Save of a
// large tree takes about a quarter less time. Call once, before anything allocates much;
// elsewhere than glibc it does nothing.
void tuneAllocatorForLargeDocuments();
