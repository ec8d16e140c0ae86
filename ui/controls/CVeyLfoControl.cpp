#include "ui/controls/CVeyLfoControl.h"

#include "model/CVeyValue.h"
#include "toolkit/gt/Interpolate.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Input.h"
#include "ui/controls/VeyGraphPalette.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr double kTwoPi = 6.283185307179586;

thread_local uint32_t g_randomState = 1;

// Truncation toward zero into a 32-bit integer; NaN gives 0 and the ends of the range hold.
int32_t ToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (value >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// The nearest integer, halves away from zero.
int32_t Nearest(double value)
{
    return ToInt(value < 0.0 ? value - 0.5 : value + 0.5);
}

int32_t Clamp(int32_t value, int32_t lowest, int32_t highest)
{
    // A control too low for its inner box clamps to the box's top.
    return std::max(lowest, std::min(value, highest));
}

// x moved by whole multiples of 2 into [lo, lo + 2).
double Wrap(double x, double lo)
{
    double m = std::fmod(x - lo, 2.0);
    if (m < 0.0)
        m += 2.0;
    return lo + m;
}

double RandomLevel()
{
    return (CVeyLfoControl::CRandomNumbers::Next() % 201 - 100) / 100.0;
}

int32_t IndexOf(const CVeyValue* value)
{
    return value ? value->GetIndex() : 0;
}

// Delay and fade times as fractions of the plot's x range.
double DelayEnd(int32_t delay)
{
    return delay * 0.5 / 127.0;
}

double FadeEnd(int32_t delay, int32_t fadeTime)
{
    return fadeTime * 0.5 / 127.0 + DelayEnd(delay);
}
}

// CRandomNumbers

void CVeyLfoControl::CRandomNumbers::Seed(uint32_t seed)
{
    g_randomState = seed;
}

int32_t CVeyLfoControl::CRandomNumbers::Next()
{
    g_randomState = g_randomState * 214013u + 2531011u;
    return static_cast<int32_t>((g_randomState >> 16) & 0x7FFF);
}

// Wave forms

double CVeyLfoControl::CSin::Value(double t)
{
    if (t < m_start)
        return 0.0;
    return std::sin((t - m_start) * kTwoPi * m_rate) * m_amplitude + m_offset;
}

double CVeyLfoControl::CSaw::Value(double t)
{
    if (t < m_start)
        return 0.0;
    const double m = Wrap(2.0 * (t - m_start) * m_rate, 0.0);
    return (m_up ? m - 1.0 : 1.0 - m) * m_amplitude + m_offset;
}

double CVeyLfoControl::CTrapezoid::Value(double t)
{
    if (t < m_start)
        return 0.0;
    const double a = (m_span - m_flat) * 0.5 / m_span;
    const double m = Wrap(2.0 * (t - m_start) * m_rate, a);
    if (a <= m && m < 1.0 - a)
        return m_amplitude + m_offset;
    if (1.0 - a <= m && m < 1.0 + a)
        return (1.0 - 2.0 * (m - (1.0 - a)) / (2.0 * a)) * m_amplitude + m_offset;
    if (1.0 + a <= m && m < 2.0 - a)
        return -m_amplitude + m_offset;
    return (2.0 * (m - (2.0 - a)) / (2.0 * a) - 1.0) * m_amplitude + m_offset;
}

double CVeyLfoControl::CBend::Value(double t)
{
    if (t < m_start)
        return 0.0;
    const double period = 1.0 / m_rate;
    if (t >= m_start + period)
        return m_offset;
    const double u = (t - m_start) / period;
    return (m_up ? u - 1.0 : 1.0 - u) * m_amplitude + m_offset;
}

CVeyLfoControl::CRandom::CRandom(double amplitude, double rate, double start, double offset)
    : CWaveForm(amplitude, rate, start, offset)
{
    CRandomNumbers::Seed(1);
    m_points.emplace_back(0.0, 0.0);
    AppendPoint();
}

void CVeyLfoControl::CRandom::AppendPoint()
{
    const int32_t stepRandom = CRandomNumbers::Next();
    const int32_t levelRandom = CRandomNumbers::Next();
    const double time = m_points.back().first + (stepRandom % 96 + 5) * (1.0 / m_rate) / 100.0;
    m_points.emplace_back(time, (levelRandom % 201 - 100) / 100.0);
}

double CVeyLfoControl::CRandom::Value(double t)
{
    if (t < m_start)
        return 0.0;
    // Steps may be shorter than a pixel column: append until the last step reaches t, so the
    // level is always read between two points and never extrapolated past the last one. Each step
    // lasts at least a twentieth of a period, which bounds the loop.
    constexpr size_t kMostPoints = 1u << 20;
    while (t - m_start > m_points.back().first && m_points.size() < kMostPoints)
        AppendPoint();
    const auto& q = m_points[m_points.size() - 2];
    const auto& p = m_points.back();
    return GT::LinearInterpolate(q.first, q.second, p.first, p.second, t - m_start) * m_amplitude + m_offset;
}

CVeyLfoControl::CSampleHold::CSampleHold(double amplitude, double rate, double start, double offset)
    : CWaveForm(amplitude, rate, start, offset)
{
    CRandomNumbers::Seed(1);
}

double CVeyLfoControl::CSampleHold::Value(double t)
{
    if (t < m_start)
        return 0.0;
    const int64_t step = static_cast<int64_t>(ToInt((t - m_start) / (1.0 / m_rate)));
    auto found = m_levels.find(step);
    if (found == m_levels.end())
        found = m_levels.emplace(step, RandomLevel()).first;
    return m_amplitude * found->second + m_offset;
}

CVeyLfoControl::CChaos::CChaos(double amplitude, double start, double offset) : CWaveForm(amplitude, 0.0, start, offset)
{
    CRandomNumbers::Seed(1);
}

double CVeyLfoControl::CChaos::Value(double t)
{
    if (t < m_start)
        return 0.0;
    return RandomLevel() * m_amplitude + m_offset;
}

double CVeyLfoControl::CFader::Value(double t)
{
    if (t < m_t0)
        return m_y0;
    if (t >= m_t1)
        return m_y1;
    return GT::LinearInterpolate(m_t0, m_y0, m_t1, m_y1, t);
}

// CVeyLfoControl

CVeyLfoControl::CVeyLfoControl() : m_drawer(VeyCreateGraphDrawer()) {}

CVeyLfoControl::~CVeyLfoControl() = default;

const std::string& CVeyLfoControl::GetTypeName() const
{
    static const std::string name("lfo");
    return name;
}

bool CVeyLfoControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    static const char* const names[kRefCount] = {"waveFormValueRef", "rateValueRef",     "offsetValueRef",
                                                 "delayTimeValueRef", "fadeModeValueRef", "fadeTimeValueRef"};
    // Always six references, in this order; one not given names no value.
    std::string paths[kRefCount];
    CVeyAttributeReader reader;
    for (int32_t ref = 0; ref < kRefCount; ++ref)
        reader.Text(names[ref], paths[ref]);
    reader.Read(attributes);
    for (const std::string& path : paths)
        m_valueRefs.emplace_back(path);
    return true;
}

bool CVeyLfoControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create LFO control %s.\n", m_name.c_str());
        return false;
    }
    if (GetValueRefCount() != kRefCount)
    {
        GetTraceTextOut().Printf("LFO control %s needs exactly six value references.\n", m_name.c_str());
        return false;
    }
    return true;
}

double CVeyLfoControl::CyclesPerUnit(int32_t rate)
{
    // Indexes from 128 on count down again: 128 plots like 127, 148 like 6.
    const int32_t r = rate >= 128 ? (149 - rate) * 127 / 21 : rate;
    return r * 30.0 / 127.0 + 2.0;
}

std::unique_ptr<CVeyLfoControl::IWaveForm> CVeyLfoControl::MakeWaveForm(int32_t waveForm, int32_t rate,
                                                                         int32_t offset, const CPlotMapping& m)
{
    // Positive levels go up on the screen: the amplitude is negative.
    const double amplitude = std::trunc((m.py1 - m.py0) * 100.0 / (m.y1 - m.y0));
    const double start = std::trunc(m.px0);
    const int32_t period = std::max(4, Nearest((m.px1 - m.px0) / CyclesPerUnit(rate) / (m.x1 - m.x0)));
    const double f = 1.0 / period;
    const int64_t percent = (2 - int64_t(offset)) * 50;
    const int32_t mid = (ToInt(m.py0) + ToInt(m.py1)) / 2;
    const double b = mid - static_cast<double>(Nearest(percent * (m.py1 - m.py0) / (m.y1 - m.y0)));
    const double a = amplitude;
    switch (waveForm)
    {
    case 0: return std::make_unique<CSin>(a, f, start, b);
    case 1: return std::make_unique<CTrapezoid>(a, f, start, b, 0.0, 1.0);   // triangle
    case 2: return std::make_unique<CSaw>(a, f, start, b, true);
    case 3: return std::make_unique<CSaw>(a, f, start, b, false);
    case 4: return std::make_unique<CTrapezoid>(a, f, start, b, 1.0, 1.0);   // square
    case 5: return std::make_unique<CRandom>(a, f, start, b);
    case 6: return std::make_unique<CBend>(a, f, start, b, true);
    case 7: return std::make_unique<CBend>(a, f, start, b, false);
    case 8: return std::make_unique<CTrapezoid>(a, f, start, b, 1.0, 2.0);   // trapezoid
    case 9: return std::make_unique<CSampleHold>(a, f, start, b);
    case 10: return std::make_unique<CChaos>(a, start, b);
    default: return nullptr;
    }
}

std::unique_ptr<CVeyLfoControl::IWaveForm> CVeyLfoControl::MakeFader(int32_t fadeMode, int32_t delay, int32_t fadeTime)
{
    const double t0 = DelayEnd(delay);
    const double t1 = FadeEnd(delay, fadeTime);
    switch (fadeMode)
    {
    case 0:
    case 2: return std::make_unique<CFader>(t0, 0.0, t1, 1.0);
    case 1:
    case 3: return std::make_unique<CFader>(t0, 1.0, t1, 0.0);
    default: return nullptr;
    }
}

CVeyLfoControl::CPlotMapping CVeyLfoControl::GetPlotMapping() const
{
    return CPlotMapping{0.0,
                        1.125,
                        -200.0,
                        200.0,
                        static_cast<double>(m_rect.left + 1),
                        static_cast<double>(m_rect.right - 1),
                        static_cast<double>(m_rect.bottom - 1),
                        static_cast<double>(m_rect.top + 1)};
}

void CVeyLfoControl::UpdateFromValue()
{
    const CPlotMapping m = GetPlotMapping();
    const int32_t waveForm = IndexOf(GetValue(kWaveFormRef));
    const int32_t delay = IndexOf(GetValue(kDelayTimeRef));
    const int32_t fadeTime = IndexOf(GetValue(kFadeTimeRef));
    std::unique_ptr<IWaveForm> generator =
        MakeWaveForm(waveForm, IndexOf(GetValue(kRateRef)), IndexOf(GetValue(kOffsetRef)), m);
    std::unique_ptr<IWaveForm> fader = MakeFader(IndexOf(GetValue(kFadeModeRef)), delay, fadeTime);

    const int32_t top = m_rect.top + 1;
    const int32_t bottom = m_rect.bottom - 1;
    const int32_t mid = (top + bottom) / 2;
    m_points.clear();
    // An unknown wave form plots the centre line; an unknown fade mode does not fade.
    for (int32_t x = m_rect.left + 1; x < m_rect.right - 1; ++x)
    {
        const double t = (x - m.px0) * (m.x1 - m.x0) / (m.px1 - m.px0) + m.x0;
        const int32_t w = generator ? Clamp(Nearest(generator->Value(x)), top, bottom) : mid;
        const double level = fader ? fader->Value(t) : 1.0;
        m_points.emplace_back(x, Nearest((static_cast<double>(w) - mid) * level + mid));
    }

    const auto marker = [&m](double t) {
        return Clamp(Nearest((t - m.x0) * (m.px1 - m.px0) / (m.x1 - m.x0) + m.px0), ToInt(m.px0), ToInt(m.px1));
    };
    m_delayMarkerX = marker(DelayEnd(delay));
    m_fadeMarkerX = marker(FadeEnd(delay, fadeTime));
}

void CVeyLfoControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect))
        return;
    m_drawer->FillRect(info, m_rect, VeyGraphPalette::kBackground);
    const int32_t midY = (m_rect.top + m_rect.bottom) / 2;
    // The drawer sets both end pixels, so the lines end on the last column and row of the control.
    VeyDrawLine(*m_drawer, info, CPoint(m_rect.left, midY), CPoint(m_rect.right - 1, midY), VeyGraphPalette::kAxes);
    VeyDrawLine(*m_drawer, info, CPoint(m_delayMarkerX, m_rect.top), CPoint(m_delayMarkerX, m_rect.bottom - 1),
                VeyGraphPalette::kAxes);
    VeyDrawLine(*m_drawer, info, CPoint(m_fadeMarkerX, m_rect.top), CPoint(m_fadeMarkerX, m_rect.bottom - 1),
                VeyGraphPalette::kAxes);
    VeyDrawGlowingCurve(*m_drawer, info, m_points, VeyGraphPalette::kBackground, VeyGraphPalette::kCurve);
}
