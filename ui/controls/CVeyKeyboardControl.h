#pragma once
// The script's "keyboard": a piano keyboard cut out of one bitmap that plays notes through a MIDI
// note value. The script gives the key pictures (normal and pressed) as rectangles of the bitmap;
// the control lays the keys out from their sizes. Notes held elsewhere show as pressed keys.
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyView.h"

#include <array>
#include <cstdint>
#include <vector>


class CVeyKeyboardControl : public CVeyControl
{
public:
    // An upside (upper row) and a downside (lower row, ivory keys only) rectangle.
    struct SRectPair
    {
        CRect upside;
        CRect downside;
    };
    static constexpr int32_t kKindCount = 20;
    static constexpr int32_t kPressedKinds = 10;
    static constexpr int32_t kLowestKind = 8;
    static constexpr int32_t kHighestKind = 9;
    static constexpr int32_t kEbonyKind = 7;
    static constexpr int32_t kLowestEntry = 12;
    static constexpr int32_t kHighestEntry = 13;
    static constexpr int32_t kNoteCount = 128;

    CVeyKeyboardControl();

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    bool OnMouse(UL::CMouseInfo& info) override;
    // The notes this control turned on go off, as they would on the button-up.
    void OnCaptureLost() override;
    void UpdateFromValue() override;

    static bool IsIvory(int32_t key);
    // Key kind of a key (pressed adds 10).
    int32_t GetKeyKind(int32_t key, bool pressed) const;
    // The key's rectangles at an origin (the lowest key's downside starts there).
    SRectPair GetKeyGeometry(int32_t key, const CPoint& origin) const;
    // The key under a point (clamped into the control), or -1.
    int32_t HitTest(const CPoint& point) const;
    // Turns the notes of the list on and every other shown note off: offs first, then ons, each
    // sent to the instrument on its own.
    void SetPressedNotes(const std::vector<int32_t>& notes);

    int32_t GetLowestKey() const { return m_lowestKey; }
    int32_t GetEndKey() const { return m_endKey; }
    int32_t GetOctaveWidth() const { return m_layout[11].upside.right; }
    const std::vector<int32_t>& GetKeyStates() const { return m_keyStates; }

private:
    enum : int32_t
    {
        kNoteRef = 0,
        kOctaveRef = 1,
        kVelocityRef = 2,
    };

    bool BuildSourcePairs();
    bool BuildLayout();
    int32_t GetOctaveShift() const;
    // The note a key plays with the octave shift.
    int32_t KeyToNote(int32_t key) const { return key + GetOctaveShift(); }
    int32_t EntryOf(int32_t key) const;
    void PlayKey(int32_t key);
    // Sets the note array, then flushes, updates the views and clears the change list.
    void CommitNotes(CVeyValue* value, const std::vector<int32_t>& states);

    CVeyBitmapRef m_bitmap;
    int32_t m_lowestKey = 0;
    int32_t m_endKey = kNoteCount;
    std::vector<SRectPair> m_sources;
    std::array<bool, kKindCount> m_given{};
    std::vector<SRectPair> m_layout;
    std::vector<int32_t> m_keyStates;
    // Notes this control turned on and has not yet turned off, whatever the octave is now.
    std::vector<int32_t> m_playedNotes;
};
