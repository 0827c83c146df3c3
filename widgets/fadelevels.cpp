#include "widgets/fadelevels.h"

bool FadeLevels::tick()
{
    return action == Action::FadeIn ? fadeInTick() : fadeOutTick();
}

bool FadeLevels::fadeInTick()
{
    if (pressed && hovered) {
        if (press >= 100) {
            press = 100;
            return false;
        }
        press += 100;
        return true;
    }
    if (press > 0)
        press -= 100;
    fade = fade < 100 ? fade + 10 : 100;
    if (press <= 0 && fade >= 100) {
        press = 0;
        return false;
    }
    return true;
}

bool FadeLevels::fadeOutTick()
{
    if (press > 0)
        press -= 100;
    if (fade > 0 || press > 0) {
        // Kept at 0 or above: a press released outside would otherwise drive the fade negative.
        fade = fade >= 10 ? fade - 10 : 0;
        return true;
    }
    fade = 0;
    press = 0;
    return false;
}
