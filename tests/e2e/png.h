// A minimal PNG writer (stored deflate blocks): enough for screenshots.
#ifndef TESTS_E2E_PNG_H
#define TESTS_E2E_PNG_H

#include <string>
#include <vector>

// rgb: width * height * 3 bytes, rows top to bottom.
bool WritePng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgb);

#endif
