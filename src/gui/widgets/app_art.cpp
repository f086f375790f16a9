#include "gui/widgets/app_art.h"

#include "gui/widgets/app_icon_data.h"

#include <wx/imagpng.h>
#include <wx/mstream.h>

#include <wx/dcmemory.h>
#include <wx/graphics.h>

#include <cmath>
#include <memory>

namespace ordinex {

namespace {

const wxColour kBlue(40, 96, 200);
const wxColour kDeepBlue(0, 0, 192);
const wxColour kCloud(214, 228, 250);
const wxColour kFolder(240, 170, 60);
const wxColour kFolderBack(214, 140, 40);
const wxColour kGreen(0, 150, 70);
const wxColour kGrey(190, 190, 190);

void Sheet(wxGraphicsContext& gc, double x, double y, double w, double h, const wxString& label,
           double angle) {
    gc.PushState();
    gc.Translate(x + w / 2, y + h / 2);
    gc.Rotate(angle);
    gc.SetPen(wxPen(kDeepBlue, 1));
    gc.SetBrush(wxBrush(wxColour(252, 252, 255)));
    wxGraphicsPath p = gc.CreatePath();
    const double fold = w * 0.3;
    p.MoveToPoint(-w / 2, -h / 2);
    p.AddLineToPoint(w / 2 - fold, -h / 2);
    p.AddLineToPoint(w / 2, -h / 2 + fold);
    p.AddLineToPoint(w / 2, h / 2);
    p.AddLineToPoint(-w / 2, h / 2);
    p.CloseSubpath();
    gc.DrawPath(p);
    gc.SetFont(wxFont(wxFontInfo(std::max(6.0, h * 0.38)).Bold()), kDeepBlue);
    double tw, th;
    gc.GetTextExtent(label, &tw, &th);
    gc.DrawText(label, -tw / 2, -th / 2 + h * 0.08);
    gc.PopState();
}

} // namespace

namespace {

// The icon's sizes as images, smallest first.
const std::vector<wxImage>& AppIconImages() {
    static const std::vector<wxImage> images = [] {
        if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG))
            wxImage::AddHandler(new wxPNGHandler);
        std::vector<wxImage> out;
        for (const EmbeddedPng& png : AppIconPngs()) {
            wxMemoryInputStream stream(png.data, png.size);
            wxImage image(stream, wxBITMAP_TYPE_PNG);
            if (image.IsOk())
                out.push_back(image);
        }
        return out;
    }();
    return images;
}

} // namespace

wxBitmap MakeAppBitmap(int size) {
    // The smallest drawing at least as large, scaled down: the small sizes
    // have a drawing of their own that keeps to the pixel grid.
    const std::vector<wxImage>& images = AppIconImages();
    if (images.empty() || size <= 0)
        return wxBitmap(std::max(size, 1), std::max(size, 1), 32);
    const wxImage* best = &images.back();
    for (const wxImage& image : images)
        if (image.GetWidth() >= size) {
            best = &image;
            break;
        }
    if (best->GetWidth() == size)
        return wxBitmap(*best);
    return wxBitmap(best->Scale(size, size, wxIMAGE_QUALITY_HIGH));
}

wxIcon MakeAppIcon(int size) {
    wxIcon icon;
    icon.CopyFromBitmap(MakeAppBitmap(size));
    return icon;
}

wxIconBundle MakeAppIconBundle() {
    wxIconBundle bundle;
    for (const wxImage& image : AppIconImages()) {
        wxIcon icon;
        icon.CopyFromBitmap(wxBitmap(image));
        bundle.AddIcon(icon);
    }
    return bundle;
}

wxBitmap MakeBusyFrame(int phase) {
    phase = ((phase % kBusyFrameCount) + kBusyFrameCount) % kBusyFrameCount;
    wxBitmap bitmap(kBusyFrameWidth, kBusyFrameHeight, 24);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
        if (!gc)
            return bitmap;
        // The cloud the files come from: the outline is the same shapes drawn
        // a little larger underneath, so no seams show inside.
        struct Puff {
            double x, y, r;
        };
        const Puff puffs[] = {{22, 24, 10}, {35, 16, 13}, {49, 23, 10}, {35, 26, 10}};
        gc->SetPen(*wxTRANSPARENT_PEN);
        for (const bool outline : {true, false}) {
            gc->SetBrush(wxBrush(outline ? kBlue : kCloud));
            const double grow = outline ? 2 : 0;
            for (const Puff& p : puffs)
                gc->DrawEllipse(p.x - p.r - grow, p.y - p.r - grow, 2 * (p.r + grow), 2 * (p.r + grow));
            gc->DrawRoundedRectangle(16 - grow, 22 - grow, 40 + 2 * grow, 12 + 2 * grow, 6);
        }

        // The folder at the right, its front lifting as a file lands.
        const bool landing = phase >= 14;
        const double lift = landing ? std::sin((phase - 14) / 5.0 * M_PI) * 4 : 0;
        gc->SetPen(wxPen(wxColour(150, 90, 10), 1.5));
        gc->SetBrush(wxBrush(kFolderBack));
        gc->DrawRoundedRectangle(96, 38, 44, 28, 3);
        gc->DrawRoundedRectangle(96, 34, 18, 8, 2);

        // The file on its way: an arc from the cloud into the folder.
        const int fileNumber = 1;
        if (phase < 16) {
            const double t = std::min(1.0, phase / 15.0);
            const double x = 36 + (112 - 36) * t;
            const double y = 26 + (42 - 26) * t - std::sin(t * M_PI) * 18;
            Sheet(*gc, x - 8, y - 10, 16, 20, wxString::Format("%d", fileNumber + phase / 20),
                  (t - 0.5) * 0.8);
        }
        gc->SetPen(wxPen(wxColour(150, 90, 10), 1.5));
        gc->SetBrush(wxBrush(kFolder));
        gc->DrawRoundedRectangle(94, 46 - lift, 48, 22 + lift, 3);
        if (landing) {
            gc->SetPen(wxPen(kGreen, 3));
            wxGraphicsPath check = gc->CreatePath();
            check.MoveToPoint(109, 56 - lift / 2);
            check.AddLineToPoint(116, 62 - lift / 2);
            check.AddLineToPoint(128, 49 - lift / 2);
            gc->StrokePath(check);
        }

        // The bar filling under the cloud.
        gc->SetPen(wxPen(kGrey, 1));
        gc->SetBrush(wxBrush(wxColour(245, 245, 245)));
        gc->DrawRoundedRectangle(8, 54, 70, 10, 4);
        gc->SetPen(*wxTRANSPARENT_PEN);
        gc->SetBrush(gc->CreateLinearGradientBrush(8, 0, 78, 0, wxColour(80, 170, 255), kBlue));
        const double filled = 66.0 * (phase + 1) / kBusyFrameCount;
        gc->DrawRoundedRectangle(10, 56, filled, 6, 3);
    }
    return bitmap;
}

} // namespace ordinex
