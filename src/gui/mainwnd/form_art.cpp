#include "gui/mainwnd/form_art.h"

#include <wx/dcmemory.h>

namespace ordinex {

namespace {

constexpr int kSize = 16;

// A transparent 16 x 16 picture drawn by draw(dc).
template <class Draw> wxBitmap Drawn(Draw draw) {
    wxBitmap bitmap(kSize, kSize, 32);
    bitmap.UseAlpha();
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        draw(dc);
    }
    wxImage image = bitmap.ConvertToImage();
    image.SetMaskColour(255, 255, 255);
    return wxBitmap(image);
}

const wxColour kBlue(0, 84, 166);
const wxColour kGreen(0, 128, 0);

} // namespace

wxBitmap MakeUrlBaseMark() {
    return Drawn([](wxDC& dc) {
        dc.SetPen(wxPen(kBlue, 1));
        dc.SetBrush(wxBrush(wxColour(200, 225, 250)));
        dc.DrawCircle(8, 8, 6);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawEllipse(5, 2, 7, 13);
        dc.DrawLine(2, 8, 15, 8);
    });
}

wxBitmap MakeUrlExpansionMark() {
    return Drawn([](wxDC& dc) {
        dc.SetPen(wxPen(kGreen, 1));
        dc.SetBrush(wxBrush(kGreen));
        dc.DrawRectangle(2, 7, 7, 3);
        const wxPoint head[] = {{8, 3}, {14, 8}, {8, 13}};
        dc.DrawPolygon(3, head);
    });
}

wxBitmap MakeSeriesRunBitmap() {
    return Drawn([](wxDC& dc) {
        dc.SetPen(wxPen(kBlue, 1));
        dc.SetBrush(wxBrush(kBlue));
        dc.DrawRectangle(6, 1, 4, 7);
        const wxPoint head[] = {{3, 7}, {12, 7}, {8, 11}, {7, 11}};
        dc.DrawPolygon(4, head);
        dc.SetPen(wxPen(wxColour(80, 80, 80), 1));
        dc.DrawLine(1, 11, 1, 14);
        dc.DrawLine(1, 14, 15, 14);
        dc.DrawLine(14, 14, 14, 10);
    });
}

} // namespace ordinex
