#pragma once

// Gives the memory that the program has freed back to the system, where the
// C library keeps it for later allocations otherwise (after a large restore
// whose buffers are gone). Does nothing where the library offers no way.
void returnFreedMemory();

// Makes every large allocation (a book's text, a file's bytes, the text box's
// text as it grows) a mapping of its own, given back to the system the moment
// it is freed and grown in place, instead of letting the C library raise that
// bound after the first large block is freed and keep later ones in its heap,
// where growing copies them and freeing keeps them until returnFreedMemory().
void returnLargeBlocksAtOnce();
