#include "ui/controls/VeyTipBar.h"

#include "toolkit/ul/TipBar.h"

namespace
{
// Passes the views' calls on to the toolkit's tip bar window.
class CToolkitTipBar final : public IVeyTipBar
{
public:
    void SetText(const std::string& text) override { UL::GetTipBar()->SetText(text); }
    void SetPoint(const CPoint& point) override { UL::GetTipBar()->SetPoint(point); }
    void Show(bool show) override { UL::GetTipBar()->Show(show); }
};

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

void VeyUseToolkitTipBar()
{
    static CToolkitTipBar toolkitTipBar;
    VeySetTipBar(&toolkitTipBar);
}
