#pragma once

// Keeps the large blocks of picture work in the heap. Every conversion goes through
// several images of 1 to 8 MB; glibc returns blocks that large to the kernel on every free,
// and the next picture then pays for fresh zeroed pages: four times the conversion itself.
// Called once at the start of every program of ours.
void keepLargeAllocations();
