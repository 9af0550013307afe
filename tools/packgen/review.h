// Review compositions: the pack's pictures put together the way the game shows them, for a
// person to judge the art in context. Not part of the game's data.
#pragma once

#include <string>
#include <vector>

#include "picture.h"

namespace packgen {

// Writes ASSET_DIR/review-menu.png, review-options.png, review-help.png, review-scores.png,
// review-game.png and review-dialog.png.
void WriteReviews(const std::vector<Picture>& pack, const std::string& assetDir);

}  // namespace packgen
