// Returning freed memory to the system. Reading a long starter list needs
// its file, its text and its rows at once for a moment; the C library keeps
// what they freed for later, so each load of a big list would leave the
// program that much bigger.
#pragma once

// Hands the pages of freed memory back to the system where the C library
// allows it (glibc); elsewhere nothing happens.
void ReturnFreedMemory();

// From now on blocks of 4 MB and more (a long list's file, its text, its
// rows) come from the system and go back to it as soon as they are freed,
// so they leave no room behind in the heap that only a trim would return.
// Once at start.
void HandLargeBlocksBackAtOnce();
