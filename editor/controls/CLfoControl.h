#pragma once
// The picture of one of the instrument's LFOs: its waveform repeated at its rate, shifted by its
// offset, faded in or out after its delay and, for the step waveform, shaped by the sixteen step
// values. A display only; the plot is rebuilt when the control opens and when a value changes.
#include "model/CVeyGraphDrawer.h"
#include "ui/controls/CVeyView.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class CLfoControl : public CVeyControl
{
public:
    enum : int32_t
    {
        kWaveformRef = 0,
        kRateRef,
        kOffsetRef,
        kDelayTimeRef,
        kFadeModeRef,
        kFadeTimeRef,
        kStepTypeRef,
        kFirstStepRef,
        kStepCount = 16,
        kRefCount = kFirstStepRef + kStepCount
    };

    // Time 0 .. 1.125 and level -200 .. 200 onto the pixels inside the control's frame.
    struct CPlotFrame
    {
        double t0 = 0.0, t1 = 1.125, lo = -200.0, hi = 200.0;
        double x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        static CPlotFrame FromRect(const CRect& rect);
    };

    class IWaveform
    {
    public:
        virtual ~IWaveform() = default;
        virtual double Value(double t) = 0;
    };

    CLfoControl();
    ~CLfoControl() override;

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    bool OnValuesChanged(const std::vector<CVeyValue*>& changes) override;
    bool Open() override;

    // The generator of waveform 0..12 in pixel units, or null. The step waveform gets its steps
    // (numbers, 64 the centre) and its type (1 interpolated, anything else stepped).
    static std::unique_ptr<IWaveform> CreateWaveform(int32_t waveform, int32_t rate, int32_t offset, const CPlotFrame& frame,
                                                     const std::vector<int32_t>& steps = {}, int32_t stepType = 0);
    // Gain over time for fade modes 0..3, or null.
    static std::unique_ptr<IWaveform> CreateFader(int32_t mode, int32_t delay, int32_t fadeTime);
    // Period in pixels of a rate index across a frame.
    static int32_t PeriodPixels(int32_t rate, const CPlotFrame& frame);

    // Rebuilds the points and markers from the values; false (the old plot stays) for an unknown
    // waveform or fade mode.
    bool Plot();
    const std::vector<CPoint>& GetPoints() const { return m_points; }
    int32_t GetDelayMarkerX() const { return m_delayMarkerX; }
    int32_t GetFadeMarkerX() const { return m_fadeMarkerX; }

private:
    std::unique_ptr<CVeyGraphDrawer> m_drawer;
    std::vector<CPoint> m_points;
    int32_t m_delayMarkerX = 0;
    int32_t m_fadeMarkerX = 0;
};
