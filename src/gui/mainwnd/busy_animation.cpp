#include "gui/mainwnd/busy_animation.h"

#include "gui/kit/gtk_calls.h"
#include "gui/widgets/app_art.h"

#include <wx/dcbuffer.h>
#include <wx/region.h>

#include <algorithm>

namespace ordinex {

namespace {
// The pictures in the order they play: 172 … 182, 163, 164, 165, 183 … 188.
int PhaseOf(int resource) {
    constexpr int kPlayOrder[20] = {172, 173, 174, 175, 176, 177, 178, 179, 180, 181,
                                    182, 163, 164, 165, 183, 184, 185, 186, 187, 188};
    const auto* it = std::find(std::begin(kPlayOrder), std::end(kPlayOrder), resource);
    return it == std::end(kPlayOrder) ? 0 : static_cast<int>(it - std::begin(kPlayOrder));
}
} // namespace

namespace {
// Every run shows the same twenty pictures: they and the shapes cut from
// them are made once. Kept for the life of the process (never destroyed
// after the toolkit is gone).
struct Picture {
    wxBitmap bitmap;
    wxRegion shape;
};
const Picture& PictureFor(int resource) {
    static auto* pictures = new Picture[kBusyFrameCount];
    Picture& p = pictures[PhaseOf(resource) % kBusyFrameCount];
    if (!p.bitmap.IsOk()) {
        p.bitmap = MakeBusyFrame(PhaseOf(resource));
        if (p.bitmap.IsOk())
            p.shape = wxRegion(p.bitmap, *wxWHITE);
    }
    return p;
}
} // namespace

wxBitmap CBusyAnimation::PictureOf(int resource) {
    return PictureFor(resource).bitmap;
}

CBusyAnimation::CBusyAnimation(wxWindow* mainFrame, FatalHandler fatal)
    : wxFrame(mainFrame, wxID_ANY, wxEmptyString, wxDefaultPosition,
              wxSize(kBusyFrameWidth, kBusyFrameHeight),
              wxFRAME_SHAPED | wxBORDER_NONE | wxFRAME_NO_TASKBAR | wxFRAME_FLOAT_ON_PARENT |
                  wxFRAME_TOOL_WINDOW),
      fatal_(std::move(fatal)), timer_(this, kTimerId) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &CBusyAnimation::OnPaint, this);
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); }, kTimerId);
    Bind(wxEVT_LEFT_DOWN, &CBusyAnimation::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CBusyAnimation::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CBusyAnimation::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
    // The first picture, its shape and the window on the display are made
    // now, before any run: showing it then only maps it.
    ShowPicture(172);
    RealizeNow(this);
}

CBusyAnimation::~CBusyAnimation() {
    timer_.Stop();
    if (HasCapture())
        ReleaseMouse();
}

void CBusyAnimation::Play(const wxPoint& position) {
    movedByUser_ = false;
    ShowPicture(172);
    frameIndex_ = kFirstIndex;
    Move(position);
    // Hidden before the display had mapped it (a short run), the window may
    // still count as shown, and showing it again would do nothing.
    Hide();
    ShowWithoutActivating();
    // The toolkit ignores the size given at creation for a window without
    // decorations until it is shown; a window manager may have placed it.
    SetSize(position.x, position.y, kBusyFrameWidth, kBusyFrameHeight);
    if (!timer_.Start(kTickMs) && fatal_)
        fatal_("タイマーの作成失敗");
}

void CBusyAnimation::Halt() {
    timer_.Stop();
    if (HasCapture())
        ReleaseMouse();
    Hide();
}

void CBusyAnimation::ShowPicture(int resource) {
    const Picture& picture = PictureFor(resource);
    picture_ = picture.bitmap;
    currentResource_ = resource;
    if (!picture_.IsOk()) {
        if (fatal_)
            fatal_("ビットマップの描画失敗");
        return;
    }
    SetShape(picture.shape);
}

void CBusyAnimation::Tick() {
    // A tick that arrives while one is still being handled (a nested event
    // loop) is dropped rather than interleaved.
    if (ticking_)
        return;
    ticking_ = true;
    ShowPicture(kFrameResource[frameIndex_]);
    frameIndex_ = frameIndex_ == 19 ? 0 : frameIndex_ + 1;
    Refresh(false);
    Update();
    ticking_ = false;
}

void CBusyAnimation::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (picture_.IsOk())
        dc.DrawBitmap(picture_, 0, 0, false);
}

void CBusyAnimation::OnLeftDown(wxMouseEvent& event) {
    // Every point of the window drags it, as a caption would.
    dragOffset_ = ClientToScreen(event.GetPosition()) - GetPosition();
    if (!HasCapture())
        CaptureMouse();
}

void CBusyAnimation::OnMotion(wxMouseEvent& event) {
    if (event.Dragging() && event.LeftIsDown() && HasCapture()) {
        Move(ClientToScreen(event.GetPosition()) - dragOffset_);
        movedByUser_ = true;
    }
}

void CBusyAnimation::OnLeftUp(wxMouseEvent&) {
    if (HasCapture())
        ReleaseMouse();
}

} // namespace ordinex
