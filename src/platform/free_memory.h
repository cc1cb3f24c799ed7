#pragma once

// Gives the memory that the program has freed back to the system, where the
// C library keeps it for later allocations otherwise (after a large restore
// whose buffers are gone). Does nothing where the library offers no way.
void returnFreedMemory();
