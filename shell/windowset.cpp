#include "shell/windowset.h"

WindowSet &windows()
{
    static WindowSet set;
    return set;
}
