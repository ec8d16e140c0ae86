#pragma once
// The list of the instrument's user patch names, one bank of 32 at a time, with its own scroll
// bar and scroll buttons. Moving the current row selects that patch on the instrument (unless the
// list chooses a destination for writing); scrolling asks for the names of the rows that came into
// view. Both happen 200 ms after the last move, so a run of moves ends in one selection and one
// request.
#include "model/CVeyEntityManager.h"
#include "toolkit/gt/ValueTypes.h"
#include "ui/controls/CVeyListControl.h"
#include "ui/controls/CVeyScrollControls.h"

#include <cstdint>
#include <memory>
#include <string>

// The user patch banks the list can show: one group of eight banks of 32 rows.
struct CPatchBanks
{
    static constexpr int32_t kBankCount = 8;
    static constexpr int32_t kRowsPerBank = 32;
    // "MIDI devices aren't set up correctly. ..."
    static constexpr int32_t kMessageMidiNotSetUp = 10;

    static bool IsValidBank(int32_t bank) { return bank >= 0 && bank < kBankCount; }
    // The patch of a row index of a bank; all fields -2 for a bank that does not exist.
    static CVeyEntityId MakePatchEntityId(int32_t bank, int32_t rowIndex);
    // The bank that holds a user patch, or -1.
    static int32_t GetBankOfEntity(const CVeyEntityId& id);
    static int32_t GetRowsPerBank(int32_t bank) { return IsValidBank(bank) ? kRowsPerBank : -1; }
    // Asks the instrument for the names of the visible rows, unless they were asked for last time
    // (`force` asks again). False when the bank is not valid, and when MIDI is not set up, which
    // the user is told.
    static bool RequestVisibleNames(bool force);
    // Shows the current patch's row in the list's bank; false when the shown bank is not valid.
    static bool LocateCurrentPatch();
    // Turns the list to the bank of the current patch, locates it and asks for the names.
    // `anyKind` takes the third field of any entity (the write panel's way).
    static void ShowBankOfCurrentPatch(bool anyKind = false);
};

// The knob of a name list's scroll bar: a filled rectangle with a highlight and a shadow edge.
// While it is dragged the tip bar shows the first visible row.
class CEntityNameListScroll : public CVeyScrollControl
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    void Draw(const UL::CDrawInfo& info) override;
    std::unique_ptr<CVeyTipBarOperator> CreateTipBarOperator() override;

protected:
    GT::CShortTriple m_knobHighlightColor{static_cast<int16_t>(0xFF00), static_cast<int16_t>(0xFF00),
                                          static_cast<int16_t>(0xFF00)};
    GT::CShortTriple m_knobShadowColor{0, 0, 0};
};

// A scroll button that can show the row it reached in the tip bar.
class CEntityNameListScrollButton : public CVeyScrollButton
{
public:
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    // Hides the tip 4 s after the later of the press and the release.
    bool OnTimer(const GT::CTimerInfo& info) override;
    void OnPress(UL::CMouseInfo& info) override;
    void Step() override;

    bool UsesTipBar() const { return m_useTipBar != 0; }

protected:
    // Auto-repeat has key 0 of the increment button's table; the tip bar's timeout has its own.
    static constexpr int32_t kTipKey = 3;
    static constexpr uint32_t kTipDuration = 4000;

private:
    void ShowTip();

    int32_t m_useTipBar = 0;
    CPoint m_tipPoint;
};

class CPatchNameListControl : public CVeyListControl
{
public:
    static constexpr uint32_t kSettleDelay = 200;

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnTimer(const GT::CTimerInfo& info) override;
    void UpdateFromValue() override;
    void SetRows(int32_t firstVisible, int32_t current, int32_t flags) override;

    // Selects the patch of the current row on the instrument; true when it is current.
    bool SelectCurrentRowPatch();
    int32_t GetShownBank() const;
    bool IsWritePanel() const { return m_writePanel != 0; }
    bool IsSettling() const { return m_settling; }

private:
    // When the program moves the current row (the playing patch changed, a write chose another
    // slot), the selection becomes that row alone: no row of an earlier choice stays marked.
    void FollowCurrentRow();

    int32_t m_currentBankRef = -1;
    int32_t m_rowRefs[3] = {-1, -1, -1};
    int32_t m_writePanel = 0;
    GT::CTimeoutTable m_timeouts;
    bool m_settling = false;
    // Set while the list's own input moves the rows: the selection is then the input's.
    bool m_movingByInput = false;
    int32_t m_followedBank = -1;
    int32_t m_followedRow = -1;
};

class CPatchNameListScroll : public CEntityNameListScroll
{
public:
    const std::string& GetTypeName() const override;
    void MoveCurrentRange(int32_t lower) override;
    bool OnTimer(const GT::CTimerInfo& info) override;

private:
    static constexpr int32_t kSettleKey = 1;
    bool m_settling = false;
};

class CPatchNameListScrollButton : public CEntityNameListScrollButton
{
public:
    const std::string& GetTypeName() const override;
    void OnPress(UL::CMouseInfo& info) override;
    void OnRelease(UL::CMouseInfo& info) override;
    bool OnTimer(const GT::CTimerInfo& info) override;

private:
    static constexpr int32_t kSettleKey = 2;
    bool m_settling = false;
};
