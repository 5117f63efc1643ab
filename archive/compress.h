// Encoder of the archive's compression format (the writer side of ExpandBlock).
#ifndef ARCHIVE_COMPRESS_H
#define ARCHIVE_COMPRESS_H

#include <stddef.h>

#include <vector>

// Called now and then while CompressBlock runs, with the input bytes done so
// far and the total; last with done == total.
typedef void (*CompressProgressFunction)(size_t done, size_t total, void* context);

// Compresses size bytes of data into one stream that ExpandBlock expands to
// exactly those bytes: literals, 2-byte short matches (distance up to 2303),
// 3- to 282-byte long matches (distance up to 8192), the end marker, and
// nothing behind it. Throws std::length_error for inputs of 4 GiB and more,
// which the stream's consumers cannot size.
std::vector<unsigned char> CompressBlock(const unsigned char* data, size_t size);
std::vector<unsigned char> CompressBlock(const unsigned char* data, size_t size,
                                         CompressProgressFunction progress, void* context);

#endif
