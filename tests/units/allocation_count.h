// How many heap allocations the test program has made so far, by any route.
#pragma once

// Every block handed out since the program started: malloc, calloc, realloc, the aligned forms
// and operator new (which allocates through them). Blocks handed out before the counting was
// ready, very early in start-up, may be missed; nothing later is.
long AllocationCount();
