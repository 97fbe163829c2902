#include "tools/ImageWriter.h"

std::vector<uint8_t> WriteBmp24(int, int, const uint8_t*) { return {}; }
std::vector<uint8_t> WriteJpg(int, int, const uint8_t*, int) { return {}; }
std::vector<uint8_t> WritePng(int, int, const uint8_t*) { return {}; }
std::vector<uint8_t> WriteTga32(int, int, const uint8_t*) { return {}; }
std::vector<uint8_t> WriteDds(int, int, const uint8_t*, PixelFormat, bool) { return {}; }
std::vector<uint8_t> WriteDdsCube(int, const uint8_t* const[6], PixelFormat, bool) { return {}; }
