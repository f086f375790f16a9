#pragma once
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/timer.h>

#include <functional>
#include <string>

namespace ordinex {

// The small animation that plays while a run is in progress: a borderless
// shaped window that the user can drag by any point, placed by the main
// frame where it hides none of the frame's controls. White in the pictures
// is transparent. Made hidden and kept between runs: creating a shaped
// window costs a short run more than the run's own work.
class CBusyAnimation : public wxFrame {
public:
    // Picture shown for each frame index, by resource number, and the index
    // the animation starts from.
    static constexpr int kFrameResource[20] = {163, 164, 165, 183, 184, 185, 186, 187, 188, 172,
                                               173, 174, 175, 176, 177, 178, 179, 180, 181, 182};
    static constexpr int kFirstIndex = 9;
    static constexpr int kTimerId = 2;
    static constexpr int kTickMs = 200;

    using FatalHandler = std::function<void(const std::string&)>;
    CBusyAnimation(wxWindow* mainFrame, FatalHandler fatal);
    ~CBusyAnimation() override;

    // Shows the first picture at a screen position and starts playing.
    void Play(const wxPoint& position);
    // Stops playing and hides the window until the next Play.
    void Halt();

    int FrameIndex() const { return frameIndex_; }
    bool MovedByUser() const { return movedByUser_; }
    int CurrentResource() const { return currentResource_; }
    // One timer tick; public so that tests can drive the animation.
    void Tick();

    // The picture of a resource number, drawn by the program.
    static wxBitmap PictureOf(int resource);

private:
    void ShowPicture(int resource);
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);

    FatalHandler fatal_;
    wxTimer timer_;
    wxBitmap picture_;
    int frameIndex_ = kFirstIndex;
    int currentResource_ = 0;
    bool ticking_ = false;
    wxPoint dragOffset_;
    bool movedByUser_ = false;
};

} // namespace ordinex
