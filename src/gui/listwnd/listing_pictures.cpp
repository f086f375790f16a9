#include "gui/listwnd/listing_pictures.h"

#include <wx/artprov.h>
#include <wx/imaglist.h>

#include <algorithm>

namespace ordinex {

namespace {
constexpr int kPictureSize = 16;

wxArtID ArtOf(ListingPicture picture) {
    switch (picture) {
    case ListingPicture::Folder:
        return wxART_FOLDER;
    case ListingPicture::OpenFolder:
        return wxART_FOLDER_OPEN;
    case ListingPicture::File:
        return wxART_NORMAL_FILE;
    case ListingPicture::Page:
        return wxART_HELP_PAGE;
    }
    return wxART_MISSING_IMAGE;
}
} // namespace

wxImageList* MakeListingImages(std::initializer_list<ListingPicture> pictures) {
    auto* images = new wxImageList(kPictureSize, kPictureSize, true, static_cast<int>(pictures.size()));
    for (ListingPicture picture : pictures) {
        const wxSize size(kPictureSize, kPictureSize);
        // A web page gets the icon theme's HTML picture where there is one,
        // else the generic page (a plain sheet in many themes, like a file).
        wxBitmap bitmap = picture == ListingPicture::Page
                              ? wxArtProvider::GetBitmap("text-html", wxART_LIST, size)
                              : wxBitmap();
        if (!bitmap.IsOk())
            bitmap = wxArtProvider::GetBitmap(ArtOf(picture), wxART_LIST, size);
        if (!bitmap.IsOk() || bitmap.GetWidth() != kPictureSize || bitmap.GetHeight() != kPictureSize) {
            // A theme without the picture, or with another size: an empty
            // picture keeps the indices of the others right.
            wxImage image = bitmap.IsOk() ? bitmap.ConvertToImage() : wxImage(kPictureSize, kPictureSize);
            if (!image.HasAlpha()) {
                image.InitAlpha();
                if (!bitmap.IsOk())
                    std::fill_n(image.GetAlpha(), kPictureSize * kPictureSize, 0);
            }
            bitmap = wxBitmap(image.Rescale(kPictureSize, kPictureSize, wxIMAGE_QUALITY_HIGH));
        }
        images->Add(bitmap);
    }
    return images;
}

} // namespace ordinex
