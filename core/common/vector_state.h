#pragma once

// Qt's raster drawing (QImage::fill and every line and polygon its AVX2 helpers draw, Qt 6.4)
// returns with the upper halves of the vector registers still in use. On Intel cores since
// Skylake every SSE instruction after that waits on the register it writes: the UTM series ran
// 16 times slower after the map had been drawn. This clears that state (VZEROUPPER, where the
// processor has AVX; nothing elsewhere), at the cost of a cycle.
void clearUpperVectorState();
