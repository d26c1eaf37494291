#pragma once
// Counts the heap allocations of the benchmark program that links it: every operator new, and
// malloc, calloc and realloc of all the code linked in (the link wraps them:
// -Wl,--wrap=malloc -Wl,--wrap=calloc -Wl,--wrap=realloc, see bench/CMakeLists.txt).

// Allocations since the program started; the difference over a stretch of code is what it made.
long AllocationsSoFar();
