#include "editor/controls/CLfoControl.h"

#include "model/CVeyAttributeReader.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyValue.h"
#include "model/IVeyResourceFactory.h"
#include "toolkit/gt/Interpolate.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyLfoControl.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kTwoPi = 6.283185307179586;

int32_t Trunc(double value)
{
    return static_cast<int32_t>(value);
}

int32_t Round(double value)
{
    return Trunc(value >= 0 ? value + 0.5 : value - 0.5);
}

// Equal settings draw equal pictures: every generator with random parts starts the sequence anew.
void Reseed()
{
    CVeyLfoControl::CRandomNumbers::Seed(1);
}

int32_t Rand()
{
    return CVeyLfoControl::CRandomNumbers::Next();
}

double RandomLevel()
{
    return ((Rand() % 201) - 100) / 100.0;
}

// Amplitude, frequency (periods per pixel), start pixel and centre pixel.
class CWaveform : public CLfoControl::IWaveform
{
public:
    CWaveform(double a, double f, double x0, double c) : m_a(a), m_f(f), m_x0(x0), m_c(c) {}
    double Value(double t) override { return t < m_x0 ? 0.0 : Shape(t - m_x0); }

protected:
    virtual double Shape(double d) = 0;
    double m_a, m_f, m_x0, m_c;
};

// u brought into [low, low + 2) by steps of 2.
double Wrap2(double u, double low)
{
    u = std::fmod(u - low, 2.0);
    if (u < 0)
        u += 2.0;
    return u + low;
}

class CSin : public CWaveform
{
public:
    using CWaveform::CWaveform;
    double Shape(double d) override { return std::sin(d * kTwoPi * m_f) * m_a + m_c; }
};

class CSaw : public CWaveform
{
public:
    CSaw(double a, double f, double x0, double c, bool up) : CWaveform(a, f, x0, c), m_up(up) {}
    double Shape(double d) override
    {
        const double u = Wrap2(2 * d * m_f, 0.0);
        return (m_up ? u - 1 : 1 - u) * m_a + m_c;
    }

private:
    bool m_up;
};

class CTrapezoid : public CWaveform
{
public:
    CTrapezoid(double a, double f, double x0, double c, double pa, double pb) : CWaveform(a, f, x0, c), m_w((pb - pa) * 0.5 / pb) {}
    double Shape(double d) override
    {
        const double w = m_w;
        const double u = Wrap2(2 * d * m_f, w);
        double level;
        if (u < 1 - w)
            level = 1;
        else if (u < 1 + w)
            level = 1 - (u - (1 - w)) / w;
        else if (u < 2 - w)
            level = -1;
        else
            level = (u - (2 - w)) / w - 1;
        return level * m_a + m_c;
    }

private:
    double m_w;
};

class CBend : public CWaveform
{
public:
    CBend(double a, double f, double x0, double c, bool up) : CWaveform(a, f, x0, c), m_up(up) {}
    double Shape(double d) override
    {
        const double period = 1 / m_f;
        if (d >= period)
            return m_c;
        const double s = d / period;
        return (m_up ? s - 1 : 1 - s) * m_a + m_c;
    }

private:
    bool m_up;
};

class CRandom : public CWaveform
{
public:
    CRandom(double a, double f, double x0, double c) : CWaveform(a, f, x0, c)
    {
        Reseed();
        m_points.emplace_back(0.0, 0.0);
        Append();
    }
    double Shape(double d) override
    {
        if (d > m_points.back().first)
            Append();
        const auto& a = m_points[m_points.size() - 2];
        const auto& b = m_points.back();
        return GT::LinearInterpolate(a.first, a.second, b.first, b.second, d) * m_a + m_c;
    }

private:
    void Append()
    {
        const double time = m_points.back().first + ((Rand() % 96) + 5) * (1 / m_f) / 100;
        const double level = ((Rand() % 201) - 100) / 100.0;
        m_points.emplace_back(time, level);
    }
    std::vector<std::pair<double, double>> m_points;
};

class CSampleHold : public CWaveform
{
public:
    CSampleHold(double a, double f, double x0, double c) : CWaveform(a, f, x0, c) { Reseed(); }
    double Shape(double d) override
    {
        const int64_t k = static_cast<int64_t>(d / (1 / m_f));
        auto found = m_levels.find(k);
        if (found == m_levels.end())
            found = m_levels.emplace(k, RandomLevel()).first;
        return m_a * found->second + m_c;
    }

private:
    std::map<int64_t, double> m_levels;
};

class CChaos : public CWaveform
{
public:
    CChaos(double a, double x0, double c) : CWaveform(a, 0.0, x0, c) { Reseed(); }
    double Shape(double) override { return RandomLevel() * m_a + m_c; }
};

class CVSin : public CWaveform
{
public:
    CVSin(double a, double f, double x0, double c) : CWaveform(a, f, x0, c) { Reseed(); }
    double Shape(double d) override
    {
        const int64_t k = static_cast<int64_t>(d * m_f);
        if (k != m_period)
        {
            m_period = k;
            m_factor = (Rand() % 101) / 100.0;
        }
        return std::sin(kTwoPi * d * m_f) * (m_factor * m_a) + m_c;
    }

private:
    int64_t m_period = 0;
    double m_factor = 1.0;
};

// Sixteen steps over two periods.
class CStep : public CWaveform
{
public:
    CStep(double a, double f, double x0, double c, const std::vector<int32_t>& steps, bool interpolated)
        : CWaveform(a, f / 2, x0, c), m_steps(steps), m_interpolated(interpolated)
    {
        m_steps.resize(CLfoControl::kStepCount, 64);
    }
    double Shape(double d) override
    {
        double whole = 0;
        const double phase = std::modf(d * m_f, &whole);
        const int32_t i = std::clamp(Trunc(16 * phase), 0, 15);
        const double s = m_steps[size_t(i)] - 64;
        double level = s / 36.0;
        if (m_interpolated)
        {
            const double next = m_steps[size_t((i + 1) % 16)] - 64;
            level = GT::LinearInterpolate(i * 0.0625, s, (i + 1) * 0.0625, next, phase) / 36.0;
        }
        return level * m_a + m_c;
    }

private:
    std::vector<int32_t> m_steps;
    bool m_interpolated;
};

class CFader : public CLfoControl::IWaveform
{
public:
    CFader(double t0, double g0, double t1, double g1) : m_t0(t0), m_t1(t1), m_g0(g0), m_g1(g1) {}
    double Value(double t) override
    {
        if (t < m_t0)
            return m_g0;
        if (t >= m_t1)
            return m_g1;
        return GT::LinearInterpolate(m_t0, m_g0, m_t1, m_g1, t);
    }

private:
    double m_t0, m_t1, m_g0, m_g1;
};

int32_t IndexOf(const CVeyValue* value)
{
    return value ? value->GetIndex() : 0;
}

const GT::CShortTriple kFill{0x2B00, 0x1300, 0x5800};
const GT::CShortTriple kLine{static_cast<int16_t>(0xDE00), 0x0000, static_cast<int16_t>(0xFF00)};
const GT::CShortTriple kCurve{0x0000, static_cast<int16_t>(0xFF00), static_cast<int16_t>(0xDE00)};
}

CLfoControl::CPlotFrame CLfoControl::CPlotFrame::FromRect(const CRect& rect)
{
    CPlotFrame frame;
    frame.x0 = rect.left + 1;
    frame.x1 = rect.right - 1;
    frame.y0 = rect.bottom - 1;
    frame.y1 = rect.top + 1;
    return frame;
}

CLfoControl::CLfoControl()
{
    if (IVeyResourceFactory* factory = CVeyResourceManager::GetInstance().GetResourceFactory())
        m_drawer = factory->CreateGraphDrawer();
}

CLfoControl::~CLfoControl() = default;

const std::string& CLfoControl::GetTypeName() const
{
    static const std::string name("norvikZLfoControl");
    return name;
}

bool CLfoControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    std::string paths[kStepTypeRef + 1];
    std::string stepPrefix;
    const bool read = CVeyAttributeReader()
                          .Text("waveformValueRef", paths[kWaveformRef])
                          .Text("rateValueRef", paths[kRateRef])
                          .Text("offsetValueRef", paths[kOffsetRef])
                          .Text("delayTimeValueRef", paths[kDelayTimeRef])
                          .Text("fadeModeValueRef", paths[kFadeModeRef])
                          .Text("fadeTimeValueRef", paths[kFadeTimeRef])
                          .Text("stepTypeValueRef", paths[kStepTypeRef])
                          .Text("stepValueRef", stepPrefix)
                          .Read(attributes);
    if (!read)
        return false;
    // The LFO's references are its own: they take the fixed positions from the first one on.
    m_valueRefs.clear();
    for (const std::string& path : paths)
        m_valueRefs.emplace_back(path);
    for (int step = 1; step <= kStepCount; ++step)
        m_valueRefs.emplace_back(stepPrefix + std::to_string(step));
    return true;
}

bool CLfoControl::Create(CVeyView* parent)
{
    if (GetValueRefCount() != kRefCount)
    {
        GetTraceTextOut().Printf("There is no value reference for LFO control %s.\n", GetName().c_str());
        return false;
    }
    if (!CVeyControl::Create(parent) || !m_drawer)
    {
        GetTraceTextOut().Printf("Unable to create LFO control %s.\n", GetName().c_str());
        return false;
    }
    for (int32_t i = 0; i < kRefCount; ++i)
        if (!GetValue(i))
        {
            GetTraceTextOut().Printf("There is no value reference for LFO control %s.\n", GetName().c_str());
            return false;
        }
    return true;
}

int32_t CLfoControl::PeriodPixels(int32_t rate, const CPlotFrame& frame)
{
    if (rate >= 128)
        rate = ((149 - rate) * 127) / 21;
    const double s = rate * 30.0 / 127.0 + 2.0;
    return std::max(4, Round((frame.x1 - frame.x0) * (1 / s) / (frame.t1 - frame.t0)));
}

std::unique_ptr<CLfoControl::IWaveform> CLfoControl::CreateWaveform(int32_t waveform, int32_t rate, int32_t offset,
                                                                    const CPlotFrame& frame,
                                                                    const std::vector<int32_t>& steps, int32_t stepType)
{
    const double a = Trunc((frame.y1 - frame.y0) * 100.0 / (frame.hi - frame.lo));
    const double start = Trunc(frame.x0);
    const double centre = (Trunc(frame.y0) + Trunc(frame.y1)) / 2 -
                          Round((frame.y1 - frame.y0) * ((2 - offset) * 50) / (frame.hi - frame.lo));
    const double f = 1.0 / PeriodPixels(rate, frame);
    switch (waveform)
    {
    case 0: return std::make_unique<CSin>(a, f, start, centre);
    case 1: return std::make_unique<CTrapezoid>(a, f, start, centre, 0.0, 1.0);
    case 2: return std::make_unique<CSaw>(a, f, start, centre, true);
    case 3: return std::make_unique<CSaw>(a, f, start, centre, false);
    case 4: return std::make_unique<CTrapezoid>(a, f, start, centre, 1.0, 1.0);
    case 5: return std::make_unique<CRandom>(a, f, start, centre);
    case 6: return std::make_unique<CBend>(a, f, start, centre, true);
    case 7: return std::make_unique<CBend>(a, f, start, centre, false);
    case 8: return std::make_unique<CTrapezoid>(a, f, start, centre, 1.0, 2.0);
    case 9: return std::make_unique<CSampleHold>(a, f, start, centre);
    case 10: return std::make_unique<CChaos>(a, start, centre);
    case 11: return std::make_unique<CVSin>(a, f, start, centre);
    // A step type other than interpolated draws the steps as they are.
    case 12: return std::make_unique<CStep>(a, f, start, centre, steps, stepType == 1);
    default: return nullptr;
    }
}

std::unique_ptr<CLfoControl::IWaveform> CLfoControl::CreateFader(int32_t mode, int32_t delay, int32_t fadeTime)
{
    if (mode < 0 || mode > 3)
        return nullptr;
    const double td = delay * 0.5 / 127.0;
    const double tf = td + fadeTime * 0.5 / 127.0;
    const bool fadeIn = mode == 0 || mode == 2;
    return std::make_unique<CFader>(td, fadeIn ? 0.0 : 1.0, tf, fadeIn ? 1.0 : 0.0);
}

bool CLfoControl::Plot()
{
    const CPlotFrame frame = CPlotFrame::FromRect(m_rect);
    std::vector<int32_t> steps;
    for (int32_t i = 0; i < kStepCount; ++i)
    {
        const CVeyValue* step = GetValue(kFirstStepRef + i);
        steps.push_back(step ? step->GetNumber() : 64);
    }
    auto generator = CreateWaveform(IndexOf(GetValue(kWaveformRef)), IndexOf(GetValue(kRateRef)),
                                    IndexOf(GetValue(kOffsetRef)), frame, steps, IndexOf(GetValue(kStepTypeRef)));
    if (!generator)
        return false;
    const int32_t delay = IndexOf(GetValue(kDelayTimeRef));
    const int32_t fadeTime = IndexOf(GetValue(kFadeTimeRef));
    auto fader = CreateFader(IndexOf(GetValue(kFadeModeRef)), delay, fadeTime);
    if (!fader)
        return false;
    const int32_t top = m_rect.top + 1;
    const int32_t bottom = m_rect.bottom - 1;
    const int32_t midY = (top + bottom) / 2;
    m_points.clear();
    for (int32_t x = m_rect.left + 1; x <= m_rect.right - 2; ++x)
    {
        const double t = frame.t0 + (x - frame.x0) * (frame.t1 - frame.t0) / (frame.x1 - frame.x0);
        const int32_t yw = std::clamp(Round(generator->Value(x)), top, bottom);
        m_points.emplace_back(x, Round((yw - midY) * fader->Value(t) + midY));
    }
    const double td = delay * 0.5 / 127.0;
    const double tf = td + fadeTime * 0.5 / 127.0;
    auto marker = [&](double t) {
        return std::clamp(Round(frame.x0 + (t - frame.t0) * (frame.x1 - frame.x0) / (frame.t1 - frame.t0)),
                          int32_t(m_rect.left + 1), int32_t(m_rect.right - 1));
    };
    m_delayMarkerX = marker(td);
    m_fadeMarkerX = marker(tf);
    return true;
}

bool CLfoControl::Open()
{
    CVeyControl::Open();
    Plot();
    return true;
}

bool CLfoControl::OnValuesChanged(const std::vector<CVeyValue*>& changes)
{
    // The base reacts to a change of one of the values and to a reference that now names another
    // value (the TONE buttons move every reference to the active tone): either way the picture is
    // of other settings now.
    if (!CVeyControl::OnValuesChanged(changes))
        return false;
    Plot();
    Invalidate(nullptr);
    return true;
}

void CLfoControl::Draw(const UL::CDrawInfo& info)
{
    if (!m_drawer || !info.IsVisible(m_rect))
        return;
    m_drawer->FillRect(info, m_rect, kFill);
    const int32_t midY = (m_rect.top + m_rect.bottom) / 2;
    m_drawer->MoveTo(info, CPoint(m_rect.left, midY));
    m_drawer->LineTo(info, CPoint(m_rect.right, midY), 1, kLine);
    for (int32_t x : {m_delayMarkerX, m_fadeMarkerX})
    {
        m_drawer->MoveTo(info, CPoint(x, m_rect.top));
        m_drawer->LineTo(info, CPoint(x, m_rect.bottom), 1, kLine);
    }
    GT::CShortTriple glow;
    GT::InterpolateColor(kFill, kCurve, 0.3, glow);
    if (!m_points.empty())
    {
        m_drawer->Polyline(info, m_points, 3, glow);
        m_drawer->Polyline(info, m_points, 1, kCurve);
    }
}
