#include "ui/controls/CVeyKeyboardControl.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <algorithm>

namespace
{
// Kind of each note in an octave, C first.
constexpr int32_t kNoteKinds[12] = {0, 7, 1, 7, 2, 3, 7, 4, 7, 5, 7, 6};

int32_t NoteInOctave(int32_t key)
{
    return key % 12;
}

// The rectangle moved so that its top-left corner lands on the point; its size kept.
CRect MovedTo(const CRect& rect, int32_t x, int32_t y)
{
    return CRect(x, y, x + rect.Width(), y + rect.Height());
}

void OffsetX(CVeyKeyboardControl::SRectPair& pair, int32_t dx)
{
    pair.upside.OffsetRect(dx, 0);
    pair.downside.OffsetRect(dx, 0);
}

// The upside attribute names of kinds 0..9 (the ebony key has one rectangle only).
const char* const kUpsideNames[10] = {
    "cKeyUpsideRectangle", "dKeyUpsideRectangle", "eKeyUpsideRectangle",    "fKeyUpsideRectangle",
    "gKeyUpsideRectangle", "aKeyUpsideRectangle", "bKeyUpsideRectangle",    "ebonyKeyRectangle",
    "lowestKeyUpsideRectangle", "highestKeyUpsideRectangle",
};
}

CVeyKeyboardControl::CVeyKeyboardControl()
    : m_sources(kKindCount), m_layout(14), m_keyStates(kNoteCount, 0)
{
}

const std::string& CVeyKeyboardControl::GetTypeName() const
{
    static const std::string name("keyboard");
    return name;
}

bool CVeyKeyboardControl::IsIvory(int32_t key)
{
    switch (NoteInOctave(key))
    {
    case 0:
    case 2:
    case 4:
    case 5:
    case 7:
    case 9:
    case 11: return true;
    default: return false;
    }
}

int32_t CVeyKeyboardControl::GetKeyKind(int32_t key, bool pressed) const
{
    int32_t kind;
    if (key == m_lowestKey)
        kind = kLowestKind;
    else if (key == m_endKey - 1)
        kind = kHighestKind;
    else
        kind = kNoteKinds[NoteInOctave(key)];
    return pressed ? kind + kPressedKinds : kind;
}

bool CVeyKeyboardControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyControl::LoadAttributes(attributes))
        return false;
    std::string octavePath;
    std::string velocityPath;
    CVeyAttributeReader reader;
    reader
        .Resource("bitmapRef", m_bitmap, CVeyResourceManager::GetInstance().GetBitmaps(),
                  [](const std::string& value) { GetTraceTextOut().Printf("Unable to find bitmap %s.\n", value.c_str()); })
        .Take("physicalKeyRange",
              [this](const std::string& value) {
                  int32_t lo = 0;
                  int32_t hi = 0;
                  if (!GT::StringToLongPair(value, &lo, &hi) || lo < 0 || lo > hi || hi > 128)
                  {
                      GetTraceTextOut().Printf("Keyboard physicalKeyRange is invalid. : %s\n", value.c_str());
                      return false;
                  }
                  m_lowestKey = lo;
                  m_endKey = hi + 1;
                  m_keyStates.assign(kNoteCount, 0);
                  return true;
              })
        .Text("octaveValueRef", octavePath)
        .Text("onVelocityValueRef", velocityPath);

    // The rectangles: the kinds each name sets and which half; a "Pressed" name sets the look of
    // the same kinds held down.
    struct SRectangleName
    {
        const char* name;
        int32_t firstKind;
        int32_t lastKind;
        bool downside;
    };
    std::vector<SRectangleName> rectangles;
    for (int32_t kind = 0; kind < 10; ++kind)
        rectangles.push_back({kUpsideNames[kind], kind, kind, false});
    rectangles.push_back({"ivoryKeyDownsideRectangle", 0, 6, true});
    rectangles.push_back({"lowestKeyDownsideRectangle", kLowestKind, kLowestKind, true});
    rectangles.push_back({"highestKeyDownsideRectangle", kHighestKind, kHighestKind, true});
    for (const bool pressed : {false, true})
    {
        for (const SRectangleName& rectangle : rectangles)
        {
            const std::string name = std::string(rectangle.name) + (pressed ? "Pressed" : "");
            const int32_t add = pressed ? kPressedKinds : 0;
            reader.Take(name, [this, rectangle, name, add](const std::string& value) {
                GT::CRect32 rect;
                if (!GT::StringToRect(value, &rect))
                {
                    GetTraceTextOut().Printf("Keyboard %s is invalid. : %s\n", name.c_str(), value.c_str());
                    return false;
                }
                for (int32_t kind = rectangle.firstKind + add; kind <= rectangle.lastKind + add; ++kind)
                {
                    SRectPair& pair = m_sources[static_cast<size_t>(kind)];
                    (rectangle.downside ? pair.downside : pair.upside) =
                        CRect(rect.left, rect.top, rect.right, rect.bottom);
                    if (!rectangle.downside)
                        m_given[static_cast<size_t>(kind)] = true;
                }
                return true;
            });
        }
    }
    if (!reader.Read(attributes))
        return false;
    m_valueRefs.emplace_back(octavePath);
    m_valueRefs.emplace_back(velocityPath);
    if (!m_bitmap)
    {
        GetTraceTextOut().Printf("Keyboard control %s needs bitmap. : %s\n", GetFullName().c_str(),
                                 GetTypeName().c_str());
        return false;
    }
    return BuildSourcePairs() && BuildLayout();
}

bool CVeyKeyboardControl::BuildSourcePairs()
{
    for (int32_t kind = 0; kind <= kEbonyKind; ++kind)
        if (!m_given[kind] || !m_given[kind + kPressedKinds])
            return false;
    for (int32_t kind : {kLowestKind, kHighestKind})
    {
        if (m_given[kind] != m_given[kind + kPressedKinds])
            return false;
        if (m_given[kind])
            continue;
        // The end key's pictures default to those of its note.
        const int32_t key = kind == kLowestKind ? m_lowestKey : m_endKey - 1;
        const int32_t ordinary = kNoteKinds[NoteInOctave(std::max(key, 0))];
        m_sources[kind] = m_sources[ordinary];
        m_sources[kind + kPressedKinds] = m_sources[ordinary + kPressedKinds];
    }
    for (int32_t kind = 0; kind < 10; ++kind)
    {
        const CRect& normal = m_sources[kind].upside;
        const CRect& pressed = m_sources[kind + kPressedKinds].upside;
        if (normal.Width() != pressed.Width() || normal.Height() != pressed.Height())
            return false;
    }
    return true;
}

int32_t CVeyKeyboardControl::EntryOf(int32_t key) const
{
    if (key == m_lowestKey)
        return kLowestEntry;
    if (key == m_endKey - 1)
        return kHighestEntry;
    return NoteInOctave(key);
}

bool CVeyKeyboardControl::BuildLayout()
{
    std::vector<SRectPair>& layout = m_layout;
    int32_t x = 0;
    for (int32_t note = 0; note < 12; ++note)
    {
        layout[note] = SRectPair();
        layout[note].upside = MovedTo(m_sources[kNoteKinds[note]].upside, x, 0);
        x = layout[note].upside.right;
    }
    int32_t previousWhite = -1;
    for (int32_t note = 0; note < 12; ++note)
    {
        if (!IsIvory(note))
            continue;
        const int32_t left = previousWhite < 0 ? 0 : layout[previousWhite].downside.right;
        layout[note].downside = MovedTo(m_sources[kNoteKinds[note]].downside, left, layout[note].upside.bottom);
        previousWhite = note;
    }
    const SRectPair& lowest = layout[NoteInOctave(m_lowestKey)];
    const CRect& lowestUp = m_sources[kLowestKind].upside;
    layout[kLowestEntry].upside = MovedTo(lowestUp, lowest.upside.right - lowestUp.Width(), 0);
    layout[kLowestEntry].downside =
        MovedTo(m_sources[kLowestKind].downside, lowest.downside.left, lowest.upside.bottom);
    const SRectPair& highest = layout[NoteInOctave(std::max(m_endKey - 1, 0))];
    layout[kHighestEntry].upside = MovedTo(m_sources[kHighestKind].upside, highest.upside.left, 0);
    layout[kHighestEntry].downside =
        MovedTo(m_sources[kHighestKind].downside, highest.downside.left, highest.upside.bottom);

    const SRectPair& c = layout[0];
    int64_t upsideSum = 0;
    int64_t downsideSum = 0;
    for (int32_t i = 0; i < 14; ++i)
    {
        const SRectPair& entry = layout[i];
        // Empty pictures would give keys nobody can hit and an octave of no width.
        if (entry.upside.Width() <= 0 || entry.upside.Height() <= 0)
            return false;
        if (entry.upside.Height() != c.upside.Height())
            return false;
        if (IsIvory(i))
        {
            if (entry.downside.Width() != c.downside.Width() || entry.downside.Height() != c.downside.Height() ||
                entry.downside.top != entry.upside.bottom || entry.downside.Width() < entry.upside.Width())
                return false;
        }
        upsideSum += entry.upside.Width();
        downsideSum += entry.downside.Width();
        if ((i == 4 || i == 11) && upsideSum != downsideSum)
            return false;
        if (i >= 1 && i <= 11)
        {
            if (entry.upside.left != layout[i - 1].upside.right)
                return false;
            if (IsIvory(i))
            {
                const int32_t before = i == 5 ? 4 : i - 2;
                if (entry.downside.left != layout[before].downside.right)
                    return false;
            }
        }
    }
    if (c.downside.Width() <= 0 || c.downside.Height() <= 0)
        return false;
    const SRectPair& low = layout[kLowestEntry];
    if (low.upside.right != lowest.upside.right || low.upside.left != low.downside.left)
        return false;
    const SRectPair& high = layout[kHighestEntry];
    return high.upside.left == highest.upside.left && high.upside.right == high.downside.right;
}

bool CVeyKeyboardControl::Create(CVeyView* parent)
{
    if (!CVeyControl::Create(parent))
    {
        GetTraceTextOut().Printf("Unable to create keyboard control.\n");
        return false;
    }
    if (m_valueRefs.empty())
    {
        GetTraceTextOut().Printf("There is no value reference.\n");
        return false;
    }
    // The notes are read and written as one array of 128 key states.
    const CVeyValue* notes = GetValue(kNoteRef);
    if (GetValueRefCount() != 3 || !notes || notes->GetKind() != CVeyValue::kArray)
    {
        GetTraceTextOut().Printf("Keyboard control needs a note value. : %s\n", GetFullName().c_str());
        return false;
    }
    // An image that cannot be read leaves the keys undrawn, not the panel unmade.
    m_bitmap.Hold();
    const SRectPair lowest = GetKeyGeometry(m_lowestKey, CPoint(0, 0));
    const SRectPair highest = GetKeyGeometry(m_endKey - 1, CPoint(0, 0));
    const int32_t width = highest.downside.right - lowest.downside.left;
    const int32_t height = lowest.upside.Height() + lowest.downside.Height();
    m_rect.right = m_rect.left + width;
    m_rect.bottom = m_rect.top + height;
    UpdateFromValue();
    return true;
}

CVeyKeyboardControl::SRectPair CVeyKeyboardControl::GetKeyGeometry(int32_t key, const CPoint& origin) const
{
    SRectPair pair = m_layout[static_cast<size_t>(EntryOf(key))];
    const int32_t octaveWidth = GetOctaveWidth();
    if (NoteInOctave(key) < NoteInOctave(m_lowestKey))
        OffsetX(pair, octaveWidth);
    OffsetX(pair, -m_layout[kLowestEntry].downside.left);
    OffsetX(pair, (key - m_lowestKey) / 12 * octaveWidth + origin.x);
    pair.upside.OffsetRect(0, origin.y);
    pair.downside.OffsetRect(0, origin.y);
    return pair;
}

int32_t CVeyKeyboardControl::HitTest(const CPoint& point) const
{
    const int32_t octaveWidth = GetOctaveWidth();
    if (octaveWidth <= 0 || m_rect.IsRectEmpty())
        return -1;
    const CPoint p(std::max(m_rect.left, std::min<int32_t>(point.x, m_rect.right - 1)),
                   std::max(m_rect.top, std::min<int32_t>(point.y, m_rect.bottom - 1)));
    const SRectPair g = GetKeyGeometry(m_lowestKey + 12, m_rect.TopLeft());
    const bool lowerRow = p.y >= g.upside.bottom;
    int32_t dx = p.x - m_rect.left;
    if (!lowerRow)
        dx -= g.upside.left - g.downside.left;
    const int32_t n = dx / octaveWidth;
    const int32_t first = std::max(m_lowestKey, m_lowestKey + 12 * n);
    const int32_t last = std::min(m_endKey, m_lowestKey + 12 * n + 12);
    for (int32_t key = first; key < last; ++key)
    {
        const SRectPair geometry = GetKeyGeometry(key, m_rect.TopLeft());
        if (lowerRow ? IsIvory(key) && geometry.downside.PtInRect(p) : geometry.upside.PtInRect(p) != 0)
            return key;
    }
    return -1;
}

int32_t CVeyKeyboardControl::GetOctaveShift() const
{
    const CVeyValue* octave = GetValue(kOctaveRef);
    if (!octave)
        return 0;
    // Any value may serve as the octave; beyond a few octaves no key reaches a note anyway.
    const int64_t shift = (static_cast<int64_t>(octave->GetNumber()) - 64) * 12;
    return static_cast<int32_t>(std::max<int64_t>(-1024, std::min<int64_t>(1024, shift)));
}

void CVeyKeyboardControl::Draw(const UL::CDrawInfo& info)
{
    if (!info.IsVisible(m_rect) || !m_bitmap || !m_bitmap->IsLoaded())
        return;
    UL::APicture& picture = m_bitmap->GetStatePicture().GetPicture();
    const int32_t shift = GetOctaveShift();
    for (int32_t key = m_lowestKey; key < m_endKey; ++key)
    {
        const int32_t note = key + shift;
        const bool pressed = note >= 0 && note < kNoteCount && m_keyStates[static_cast<size_t>(note)] > 0;
        const SRectPair& source = m_sources[static_cast<size_t>(GetKeyKind(key, pressed))];
        const SRectPair geometry = GetKeyGeometry(key, m_rect.TopLeft());
        picture.Draw(info.m_dc, geometry.upside.TopLeft(), geometry.upside.Size(), source.upside.TopLeft());
        if (IsIvory(key))
            picture.Draw(info.m_dc, geometry.downside.TopLeft(), geometry.downside.Size(), source.downside.TopLeft());
    }
}

bool CVeyKeyboardControl::OnMouse(UL::CMouseInfo& info)
{
    if (CVeyControl::OnMouse(info))
        return true;
    if (!IsCapturing() && !m_rect.PtInRect(info.GetPoint()))
        return false;
    switch (info.m_kind)
    {
    case UL::MOUSE_DOWN:
    case UL::MOUSE_DOUBLE:
    {
        const int32_t key = HitTest(info.GetPoint());
        if (key < m_lowestKey || key >= m_endKey)
            return false;
        SetCapture(true);
        PlayKey(key);
        return true;
    }
    case UL::MOUSE_UP:
        if (!IsCapturing())
            return false;
        SetCapture(false);
        SetPressedNotes({});
        return true;
    case UL::MOUSE_MOVE:
    {
        if (!IsCapturing())
            return false;
        const int32_t key = HitTest(info.GetPoint());
        if (key >= m_lowestKey && key < m_endKey)
            PlayKey(key);
        return true;
    }
    default: return false;
    }
}

void CVeyKeyboardControl::OnCaptureLost()
{
    if (!IsCapturing())
        return;
    SetCapture(false);
    SetPressedNotes({});
}

void CVeyKeyboardControl::PlayKey(int32_t key)
{
    SetPressedNotes({KeyToNote(key)});
}

void CVeyKeyboardControl::CommitNotes(CVeyValue* value, const std::vector<int32_t>& states)
{
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.SetArray(value, states);
    manager.Flush();
    manager.UpdateViews();
    manager.ClearChanges();
}

void CVeyKeyboardControl::SetPressedNotes(const std::vector<int32_t>& notes)
{
    CVeyValue* value = GetValue(kNoteRef);
    if (!value)
        return;
    std::vector<int32_t> states = value->GetArray();
    states.resize(kNoteCount, 0);
    const CVeyValue* velocityValue = GetValue(kVelocityRef);
    const int32_t velocity = velocityValue ? velocityValue->GetNumber() : 0;
    const auto listed = [&notes](int32_t note) { return std::find(notes.begin(), notes.end(), note) != notes.end(); };

    std::vector<int32_t> offs;
    std::vector<int32_t> ons;
    const int32_t shift = GetOctaveShift();
    for (int32_t key = m_lowestKey; key < m_endKey; ++key)
    {
        const int32_t note = key + shift;
        if (note < 0 || note >= kNoteCount)
            continue;
        const int32_t state = states[static_cast<size_t>(note)];
        if (state > 0 && !listed(note))
            offs.push_back(note);
        else if (state <= 0 && listed(note))
            ons.push_back(note);
    }
    // A note played before the octave moved lies outside the shown keys now: it still has to go off.
    for (int32_t note : m_playedNotes)
        if (!listed(note) && states[static_cast<size_t>(note)] > 0 &&
            std::find(offs.begin(), offs.end(), note) == offs.end())
            offs.push_back(note);

    for (int32_t note : offs)
        states[static_cast<size_t>(note)] = -velocity;
    CommitNotes(value, states);
    for (int32_t note : ons)
        states[static_cast<size_t>(note)] = velocity;
    CommitNotes(value, states);

    m_playedNotes.erase(std::remove_if(m_playedNotes.begin(), m_playedNotes.end(),
                                       [&listed](int32_t note) { return !listed(note); }),
                        m_playedNotes.end());
    for (int32_t note : ons)
        m_playedNotes.push_back(note);
}

void CVeyKeyboardControl::UpdateFromValue()
{
    const CVeyValue* value = GetValue(kNoteRef);
    std::vector<int32_t> states = value ? value->GetArray() : std::vector<int32_t>();
    states.resize(kNoteCount, 0);
    m_keyStates = states;
}
