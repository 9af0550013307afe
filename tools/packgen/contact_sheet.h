// A review sheet of the whole pack: every record on a dark background, labelled with its
// record number, table slot and size.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

namespace packgen {

void WriteContactSheet(const std::vector<Picture>& pack, const std::string& path);

// Writes a picture as PNG (for review compositions).
void WritePng(const Picture& picture, const std::string& path);

}  // namespace packgen
