#pragma once
// A passive plot of a low-frequency oscillator: for each pixel column a wave-form generator gives
// the level, a fader that starts after the delay scales it towards the centre line, and the curve
// is drawn with a glow over a dark background, with a centre line and markers at the end of the
// delay and of the fade.
#include "model/CVeyGraphDrawer.h"
#include "ui/controls/CVeyView.h"

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class CVeyLfoControl : public CVeyControl
{
public:
    enum { kWaveFormRef = 0, kRateRef, kOffsetRef, kDelayTimeRef, kFadeModeRef, kFadeTimeRef, kRefCount };

    // The random numbers of the random wave forms: a linear congruential generator with a 32-bit
    // state per thread and 15-bit results, so one seed always gives the same curve.
    class CRandomNumbers
    {
    public:
        static void Seed(uint32_t seed);
        static int32_t Next();
    };

    class IWaveForm
    {
    public:
        virtual ~IWaveForm() = default;
        virtual double Value(double t) = 0;
    };

    // Amplitude, rate (cycles per unit of t), start and offset; every wave form is 0 before its start.
    class CWaveForm : public IWaveForm
    {
    public:
        CWaveForm(double amplitude, double rate, double start, double offset)
            : m_amplitude(amplitude), m_rate(rate), m_start(start), m_offset(offset)
        {
        }

    protected:
        double m_amplitude;
        double m_rate;
        double m_start;
        double m_offset;
    };

    class CSin : public CWaveForm
    {
    public:
        using CWaveForm::CWaveForm;
        double Value(double t) override;
    };

    class CSaw : public CWaveForm
    {
    public:
        CSaw(double amplitude, double rate, double start, double offset, bool up)
            : CWaveForm(amplitude, rate, start, offset), m_up(up)
        {
        }
        double Value(double t) override;

    private:
        bool m_up;
    };

    // Plateaus joined by slopes; flat 0 and span 1 give a triangle, flat 1 and span 1 a square.
    class CTrapezoid : public CWaveForm
    {
    public:
        CTrapezoid(double amplitude, double rate, double start, double offset, double flat, double span)
            : CWaveForm(amplitude, rate, start, offset), m_flat(flat), m_span(span)
        {
        }
        double Value(double t) override;

    private:
        double m_flat;
        double m_span;
    };

    // One ramp of one period, then the offset level.
    class CBend : public CWaveForm
    {
    public:
        CBend(double amplitude, double rate, double start, double offset, bool up)
            : CWaveForm(amplitude, rate, start, offset), m_up(up)
        {
        }
        double Value(double t) override;

    private:
        bool m_up;
    };

    // Straight lines between random levels at random steps of 0.05 to 1 period.
    class CRandom : public CWaveForm
    {
    public:
        CRandom(double amplitude, double rate, double start, double offset);
        double Value(double t) override;

    private:
        void AppendPoint();
        std::vector<std::pair<double, double>> m_points;   // (time, level)
    };

    // One random level per period.
    class CSampleHold : public CWaveForm
    {
    public:
        CSampleHold(double amplitude, double rate, double start, double offset);
        double Value(double t) override;

    private:
        std::map<int64_t, double> m_levels;   // step -> level
    };

    // A new random level at every call.
    class CChaos : public CWaveForm
    {
    public:
        CChaos(double amplitude, double start, double offset);
        double Value(double t) override;
    };

    // Level y0 before t0, y1 from t1 on, a straight line between.
    class CFader : public IWaveForm
    {
    public:
        CFader(double t0, double y0, double t1, double y1) : m_t0(t0), m_t1(t1), m_y0(y0), m_y1(y1) {}
        double Value(double t) override;

    private:
        double m_t0, m_t1, m_y0, m_y1;
    };

    // Value range of the plot and the pixel box it covers.
    struct CPlotMapping
    {
        double x0, x1, y0, y1;       // x 0 .. 1.125, y -200 .. 200
        double px0, px1, py0, py1;   // left + 1 .. right - 1, bottom - 1 (for y0) .. top + 1 (for y1)
    };

    CVeyLfoControl();
    ~CVeyLfoControl() override;

    const std::string& GetTypeName() const override;
    // Appends the six references in their fixed order, empty ones included.
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;

    // The generator of a wave form in pixel units; null for an unknown wave form.
    static std::unique_ptr<IWaveForm> MakeWaveForm(int32_t waveForm, int32_t rate, int32_t offset,
                                                   const CPlotMapping& mapping);
    // The fade in (modes 0 and 2) or out (1 and 3) after the delay; null for an unknown mode.
    static std::unique_ptr<IWaveForm> MakeFader(int32_t fadeMode, int32_t delay, int32_t fadeTime);
    // Cycles per unit of x of a rate index.
    static double CyclesPerUnit(int32_t rate);

    CPlotMapping GetPlotMapping() const;
    const std::vector<CPoint>& GetPoints() const { return m_points; }
    int32_t GetDelayMarkerX() const { return m_delayMarkerX; }
    int32_t GetFadeMarkerX() const { return m_fadeMarkerX; }

private:
    std::unique_ptr<CVeyGraphDrawer> m_drawer;
    std::vector<CPoint> m_points;
    int32_t m_delayMarkerX = 0;
    int32_t m_fadeMarkerX = 0;
};
