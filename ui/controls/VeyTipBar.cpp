#include "ui/controls/VeyTipBar.h"

namespace
{
IVeyTipBar*& Installed()
{
    static IVeyTipBar* tipBar = nullptr;
    return tipBar;
}
}

CVeyRecordingTipBar& VeyGetRecordingTipBar()
{
    static CVeyRecordingTipBar recording;
    return recording;
}

IVeyTipBar& VeyGetTipBar()
{
    return Installed() ? *Installed() : VeyGetRecordingTipBar();
}

IVeyTipBar* VeySetTipBar(IVeyTipBar* tipBar)
{
    IVeyTipBar* previous = Installed();
    Installed() = tipBar;
    return previous;
}
