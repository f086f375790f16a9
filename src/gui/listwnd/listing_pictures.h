#pragma once
#include <initializer_list>

class wxImageList;

namespace ordinex {

// The small pictures of the tree & list windows' nodes and rows.
enum class ListingPicture { Folder, OpenFolder, File, Page };

// An image list of 16-pixel pictures in the given order (the caller owns it).
wxImageList* MakeListingImages(std::initializer_list<ListingPicture> pictures);

} // namespace ordinex
