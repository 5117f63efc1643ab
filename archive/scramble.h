// Length-keyed exclusive-or of a block, in place. The same call scrambles and
// unscrambles; the length is part of the key.
#ifndef ARCHIVE_SCRAMBLE_H
#define ARCHIVE_SCRAMBLE_H

#include <stdint.h>

void ScrambleBlock(unsigned char* block, uint32_t length);

#endif
