#pragma once

namespace ordinex {

// The main frame's busy look (form disabled but Stop, frame grown over the
// status area, animation) as one state. Work that is over within the delay
// never shows it: until then the window keeps its idle look, and the parts
// of the look asked for meanwhile wait until it is due.
class BusyLook {
public:
    enum class Phase { Idle, Due, Shown };
    Phase phase() const { return phase_; }
    bool Due() const { return phase_ == Phase::Due; }
    // The frame has the grown run layout.
    bool Grown() const { return grown_; }

    // Work begins; false when it had already begun.
    bool Enter();
    // The delay is over, or the user is asked something: what to show now
    // (nothing when the look was not due).
    struct Parts {
        bool look = false;
        bool layout = false;
        bool animation = false;
    };
    Parts ShowNow();
    // The run layout is asked for (busy) or given up: whether the frame is
    // to change its layout now.
    bool AskLayout(bool busy);
    void SetGrown(bool grown) { grown_ = grown; }
    // The animation is asked for: whether it plays now.
    bool AskAnimation();
    void DropAnimation() { animationWanted_ = false; }
    // Work ends: nothing waits any more (the layout is given up on its own).
    void Leave();

private:
    Phase phase_ = Phase::Idle;
    bool layoutWanted_ = false;
    bool animationWanted_ = false;
    bool grown_ = false;
};

} // namespace ordinex
