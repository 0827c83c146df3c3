#pragma once

// The hover and press levels of a gradient button or check box, advanced one timer tick at a
// time: the fade level F blends the hover face in (0..100, ten per tick), the press level P
// shows the pressed face (0 or 100, a whole step per tick).
class FadeLevels
{
public:
    enum class Action { FadeIn, FadeOut };

    int fade = 0;
    int press = 0;
    bool hovered = false;
    bool pressed = false;
    Action action = Action::FadeIn;

    // Runs one tick of the current action; returns false when the timer should stop.
    [[nodiscard]] bool tick();

private:
    bool fadeInTick();
    bool fadeOutTick();
};
