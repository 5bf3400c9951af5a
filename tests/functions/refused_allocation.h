// Allocation failure on demand, for tests of what an exhausted heap does to an answer.
#pragma once

// While refused, every operator new of the test program fails (throws std::bad_alloc, or gives
// null for the nothrow forms).
void RefuseAllocations(bool refuse);
