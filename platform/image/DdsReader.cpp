#include "platform/image/DdsReader.h"

bool IsDdsFile(const void*, size_t) { return false; }
bool ReadDds(const void*, size_t, DecodedImage& out, std::string*) { out = DecodedImage(); return false; }
