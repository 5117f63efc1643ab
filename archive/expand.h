// Decoder of the archive's compression format.
#ifndef ARCHIVE_EXPAND_H
#define ARCHIVE_EXPAND_H

#include <stdint.h>

// Expands the stream of streamLength bytes into out, which must come to
// exactly outSize bytes. Returns 1 on success, 0 for an invalid stream: a match
// reaching before the start of the output, the stream ending before its end
// marker, output beyond outSize, or an end marker before outSize bytes.
// On success *consumed (when given) receives the stream bytes used up to and
// including the end marker. Nothing is written outside out[0, outSize).
int ExpandBlock(unsigned char* out, uint32_t outSize, const unsigned char* stream,
                uint32_t streamLength, uint32_t* consumed = 0);

#endif
