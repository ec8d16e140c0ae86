#include "editor/controls/CPatchNameList.h"

#include "editor/controls/CInstrumentSelectControls.h"
#include "editor/controls/InstrumentLink.h"
#include "editor/entities/InstrumentEntities.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "model/CVeyAttributeReader.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyGraphDrawer.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/NumberText.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/Cursor.h"
#include "toolkit/ul/TipBar.h"

#include <algorithm>
#include <tuple>

namespace
{
CVeyValue* FindValue(const char* path)
{
    return CVeyBufferManager::GetInstance().FindValueOrNull(path);
}

int32_t NumberAt(const char* path, int32_t fallback = 0)
{
    const CVeyValue* value = FindValue(path);
    return value ? value->GetNumber() : fallback;
}

void SetNumberAt(const char* path, int32_t number)
{
    if (CVeyValue* value = FindValue(path))
        CVeyBufferManager::GetInstance().SetValue(value, number);
}

CVeyEntityManager& Entities()
{
    CInstrumentEntities& entities = CInstrumentEntities::GetInstance();
    entities.EnsureSetUp();
    return entities.GetManager();
}

// The last name request that reached the instrument: (bank, first row index, end row index).
std::tuple<int32_t, int32_t, int32_t>& LastNameRequest()
{
    static std::tuple<int32_t, int32_t, int32_t> last{0, -1, -1};
    return last;
}
}

// CPatchBanks

CVeyEntityId CPatchBanks::MakePatchEntityId(int32_t bank, int32_t rowIndex)
{
    if (!IsValidBank(bank))
        return CVeyEntityId(-2, -2, -2, -2);
    return CVeyEntityId(kUserPatchEntity, 0, bank, rowIndex);
}

int32_t CPatchBanks::GetBankOfEntity(const CVeyEntityId& id)
{
    if (id.GetKey1() != 0 || id.GetKey2() != 0)
        return -1;
    return std::clamp(id.GetKey3(), 0, kBankCount);
}

bool CPatchBanks::RequestVisibleNames(bool force)
{
    IInstrumentLink& link = IInstrumentLink::Get();
    if (!link.IsMidiConnected())
    {
        CVeyMidiRequester::ShowMessage(kMessageMidiNotSetUp);
        return false;
    }
    UL::CWaitCursor wait;
    const int32_t lo = NumberAt("vs.patchNameList.listCurRangeLo") - 1;
    const int32_t hi = NumberAt("vs.patchNameList.listCurRangeUp") - 1;
    const int32_t bank = NumberAt("vs.patchNameList.listCurrentBank", -1);
    const auto request = std::make_tuple(bank, lo, hi);
    if (!force && request == LastNameRequest())
        return true;
    const CVeyEntityId first = MakePatchEntityId(bank, lo);
    if (!IsValidBank(bank) || !first.HasNoNegativeField())
        return false;
    const CVeyProgramId program = Entities().ToProgramId(first);
    if (program.HasNoNegativeField())
    {
        SetNumberAt("vs.patchNameList.firstVisibleMsb", program.GetBankSelectMsb());
        SetNumberAt("vs.patchNameList.firstVisibleLsb", program.GetBankSelectLsb());
        SetNumberAt("vs.patchNameList.firstVisiblePc", program.GetProgram());
    }
    // Only a request that went through counts as asked: a failed one is asked again next time.
    const bool requested = link.RequestUserPatchNames(bank, lo, hi - lo);
    if (requested)
        LastNameRequest() = request;
    return requested;
}

bool CPatchBanks::LocateCurrentPatch()
{
    UL::CWaitCursor wait;
    const int32_t bank = NumberAt("vs.patchNameList.listCurrentBank", -1);
    const int32_t rows = GetRowsPerBank(bank);
    if (rows == -1)
        return false;
    const CVeyEntityId current = IInstrumentLink::Get().GetCurrentEntityId();
    int32_t number = 0;
    const int32_t row = std::clamp(current.GetNumber(), 0, rows - 1);
    if (MakePatchEntityId(bank, row) == current)
        number = row + 1;
    SetNumberAt("vs.patchNameList.currentNumber", number);
    SetNumberAt("vs.patchNameList.listScrollRangeLo", 1);
    SetNumberAt("vs.patchNameList.listScrollRangeUp", rows + 1);
    const int32_t cn = NumberAt("vs.patchNameList.currentNumber");
    const int32_t sLo = NumberAt("vs.patchNameList.listScrollRangeLo");
    const int32_t sUp = NumberAt("vs.patchNameList.listScrollRangeUp");
    const int32_t cLo = NumberAt("vs.patchNameList.listCurRangeLo");
    const int32_t cUp = NumberAt("vs.patchNameList.listCurRangeUp");
    const int32_t span = cUp - cLo;
    int32_t lo = cLo;
    if (cn == 0 || (cn >= sLo && cn < sUp && cn >= 1 && cn < span + 1))
        lo = 1;
    else if (cn >= sLo && cn < sUp)
        lo = std::clamp(cn - span / 2, sLo, std::max(sLo, sUp - span));
    if (lo != cLo || lo + span != cUp)
    {
        SetNumberAt("vs.patchNameList.listCurRangeLo", lo);
        SetNumberAt("vs.patchNameList.listCurRangeUp", lo + span);
    }
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    buffers.UpdateViews();
    buffers.ClearChanges();
    return true;
}

void CPatchBanks::ShowBankOfCurrentPatch(bool anyKind)
{
    const CVeyEntityId current = IInstrumentLink::Get().GetCurrentEntityId();
    int32_t bank = anyKind ? std::clamp(current.GetKey3(), 0, kBankCount) : GetBankOfEntity(current);
    CVeyValue* shown = FindValue("vs.patchNameList.listCurrentBank");
    if (!shown)
        return;
    const CVeyValueDefinition* definition = shown->GetDefinition();
    bank = std::clamp(bank, std::min(definition->GetMin(), definition->GetMax()), std::max(definition->GetMin(), definition->GetMax()));
    CVeyBufferManager::GetInstance().SetValue(shown, bank);
    if (LocateCurrentPatch())
        RequestVisibleNames(true);
}

// CEntityNameListScroll

const std::string& CEntityNameListScroll::GetTypeName() const
{
    static const std::string name("entityNameListScroll");
    return name;
}

bool CEntityNameListScroll::LoadAttributes(CAttributes& attributes)
{
    return CVeyScrollControl::LoadAttributes(attributes) &&
           CVeyAttributeReader()
               .Colour("knobHighlightColor", m_knobHighlightColor, Says("%s knobHighlightColor is invalid. : %s\n"))
               .Colour("knobShadowColor", m_knobShadowColor, Says("%s knobShadowColor is invalid. : %s\n"))
               .Read(attributes);
}

void CEntityNameListScroll::Draw(const UL::CDrawInfo& info)
{
    const CRect knob = GetKnobRect();
    if (!m_graphDrawer || knob.Width() < 1 || knob.Height() < 1 || !info.IsVisible(knob))
        return;
    const int32_t l = knob.left, t = knob.top, r = knob.right, b = knob.bottom;
    m_graphDrawer->FillRect(info, knob, m_knobColor);
    m_graphDrawer->MoveTo(info, CPoint(l, b - 1));
    m_graphDrawer->LineTo(info, CPoint(l, t), 1, m_knobHighlightColor);
    m_graphDrawer->LineTo(info, CPoint(r - 1, t), 1, m_knobHighlightColor);
    m_graphDrawer->MoveTo(info, CPoint(r - 1, t + 1));
    m_graphDrawer->LineTo(info, CPoint(r - 1, b - 1), 1, m_knobShadowColor);
    m_graphDrawer->LineTo(info, CPoint(l + 1, b - 1), 1, m_knobShadowColor);
}

std::unique_ptr<CVeyTipBarOperator> CEntityNameListScroll::CreateTipBarOperator()
{
    return std::make_unique<CVeySingleTipBarOperator>(this);
}

// CEntityNameListScrollButton

bool CEntityNameListScrollButton::LoadAttributes(CAttributes& attributes)
{
    return CVeyScrollButton::LoadAttributes(attributes) &&
           CVeyAttributeReader()
               .NumberIn("useTipBar", m_useTipBar, 0, 1, Says("Use tip bar description is invalid. : %s : %s\n"),
                         Says("Use tip bar value must be 0 or 1. : %s : %s\n"))
               .Read(attributes);
}

bool CEntityNameListScrollButton::Create(CVeyView* parent)
{
    if (CVeyScrollButton::Create(parent))
        return true;
    GetTraceTextOut().Printf("Unable to create frame inc button. : %s", GetFullName().c_str());
    return false;
}

void CEntityNameListScrollButton::ShowTip()
{
    UL::ITipBar* tipBar = UL::GetTipBar();
    const CVeyValue* value = GetValue(0);
    if (!m_useTipBar || !tipBar || !value)
        return;
    std::string text;
    tipBar->SetText(GT::Format(text, "%d", value->GetIndex()), m_tipPoint);
    tipBar->Show(true);
    tipBar->Update();
}

void CEntityNameListScrollButton::OnPress(UL::CMouseInfo& info)
{
    CVeyScrollButton::OnPress(info);
    if (!m_useTipBar)
        return;
    ClientToScreen(m_tipPoint, CPoint(info.GetPoint().x + 5, info.GetPoint().y - 15));
    ShowTip();
    m_timeouts.Start(kTipKey, kTipDuration);
}

void CEntityNameListScrollButton::Step()
{
    CVeyScrollButton::Step();
    if (m_useTipBar && IsCapturing())
        ShowTip();
}

bool CEntityNameListScrollButton::OnTimer(const GT::CTimerInfo& info)
{
    // The auto-repeat uses the ticks while the button is held; the tip's time runs all the same.
    const bool stepped = CVeyScrollButton::OnTimer(info);
    if (m_useTipBar && m_timeouts.Elapsed(kTipKey) > 0 && m_timeouts.IsExpired(kTipKey))
    {
        if (IsCapturing())
            m_timeouts.Start(kTipKey, kTipDuration);
        else
        {
            m_timeouts.Erase(kTipKey);
            if (UL::ITipBar* tipBar = UL::GetTipBar())
                tipBar->Show(false);
        }
    }
    return stepped;
}

// CPatchNameListControl

const std::string& CPatchNameListControl::GetTypeName() const
{
    static const std::string name("q9ePatchNameListControl");
    return name;
}

bool CPatchNameListControl::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyListControl::LoadAttributes(attributes))
        return false;
    std::string bank;
    std::string rows[3];
    std::string writePanel;
    const bool read = CVeyAttributeReader()
                          .Text("currentBankValueRef", bank)
                          .Text("writePanel", writePanel)
                          .Text("currentRowMsbValueRef", rows[0])
                          .Text("currentRowLsbValueRef", rows[1])
                          .Text("currentRowPcValueRef", rows[2])
                          .Read(attributes);
    if (!read)
        return false;
    if (!writePanel.empty() && !GT::StringToLong(writePanel, &m_writePanel))
        m_writePanel = 0;
    if (!bank.empty())
    {
        m_valueRefs.emplace_back(bank);
        m_currentBankRef = GetValueRefCount() - 1;
    }
    for (int i = 0; i < 3; ++i)
        if (!rows[i].empty())
        {
            m_valueRefs.emplace_back(rows[i]);
            m_rowRefs[i] = GetValueRefCount() - 1;
        }
    return true;
}

int32_t CPatchNameListControl::GetShownBank() const
{
    const CVeyValue* bank = m_currentBankRef >= 0 ? CVeyView::GetValue(m_currentBankRef) : nullptr;
    return bank ? bank->GetNumber() : -1;
}

void CPatchNameListControl::FollowCurrentRow()
{
    const int32_t bank = GetShownBank();
    const int32_t current = GetCurrentRow();
    if (!m_movingByInput && (bank != m_followedBank || current != m_followedRow))
        SelectRow(current, true, true);
    m_followedBank = bank;
    m_followedRow = current;
}

void CPatchNameListControl::UpdateFromValue()
{
    FollowCurrentRow();
    m_rowTexts.clear();
    const int32_t bank = GetShownBank();
    if (!CPatchBanks::IsValidBank(bank))
        return;
    CVeyEntityManager& manager = Entities();
    const int32_t first = GetFirstRow();
    const int32_t last = GetLastRow();
    std::string text;
    // Only the bank's rows get texts: a visible window reaching past the last row shows nothing
    // there (the list keeps its first visible row at or after the first row).
    for (int32_t row = GetFirstVisibleRow(); row < GetLastVisibleRow(); ++row)
    {
        if (row < first || row >= last)
            continue;
        std::vector<std::string> cells;
        cells.push_back(GT::Format(text, "%d", row));
        const CVeyEntityId id = CPatchBanks::MakePatchEntityId(bank, row - 1);
        CVeyEntityManager::IBank* found = manager.FindBank(id);
        const int32_t index = found ? found->IndexOfEntityId(id) : -1;
        if (index >= 0)
        {
            const std::string& name = found->GetInformation(index).GetName();
            cells.push_back(name.empty() ? "------------" : name);
        }
        m_rowTexts.push_back(std::move(cells));
    }
    Invalidate(nullptr);
}

void CPatchNameListControl::SetRows(int32_t firstVisible, int32_t current, int32_t flags)
{
    const int32_t oldCurrent = GetCurrentRow();
    const int32_t oldFirst = GetFirstVisibleRow();
    const bool wasMoving = m_movingByInput;
    m_movingByInput = true;
    CVeyListControl::SetRows(firstVisible, current, flags);
    m_movingByInput = wasMoving;
    if (GetCurrentRow() != oldCurrent || GetFirstVisibleRow() != oldFirst)
    {
        m_timeouts.Start(0, kSettleDelay);
        m_settling = true;
    }
}

bool CPatchNameListControl::OnTimer(const GT::CTimerInfo& info)
{
    if (CVeyListControl::OnTimer(info))
        return true;
    if (m_settling && m_timeouts.IsExpired(0))
    {
        m_settling = false;
        m_timeouts.Erase(0);
        if (!m_writePanel)
            SelectCurrentRowPatch();
        CPatchBanks::RequestVisibleNames(false);
    }
    return false;
}

bool CPatchNameListControl::OnMouse(UL::CMouseInfo& info)
{
    if (!IsCapturing() && !m_rect.PtInRect(info.GetPoint()))
        return false;
    return CVeyListControl::OnMouse(info);
}

bool CPatchNameListControl::SelectCurrentRowPatch()
{
    const CVeyEntityId id = CPatchBanks::MakePatchEntityId(GetShownBank(), GetCurrentRow() - 1);
    if (!id.HasNoNegativeField())
        return false;
    IInstrumentLink& link = IInstrumentLink::Get();
    if (id == link.GetCurrentEntityId())
        return true;
    if (!link.SelectProgram(id))
        return false;
    CommitChanges();
    link.MarkReservedRead();
    link.RequestCurrentPatchName();
    return true;
}

// CPatchNameListScroll

const std::string& CPatchNameListScroll::GetTypeName() const
{
    static const std::string name("zt7PatchNameListScroll");
    return name;
}

void CPatchNameListScroll::MoveCurrentRange(int32_t lower)
{
    m_timeouts.Start(kSettleKey, CPatchNameListControl::kSettleDelay);
    m_settling = true;
    CEntityNameListScroll::MoveCurrentRange(lower);
}

bool CPatchNameListScroll::OnTimer(const GT::CTimerInfo& info)
{
    const bool used = CEntityNameListScroll::OnTimer(info);
    if (m_settling && m_timeouts.IsExpired(kSettleKey))
    {
        m_settling = false;
        m_timeouts.Erase(kSettleKey);
        CPatchBanks::RequestVisibleNames(false);
    }
    return used;
}

// CPatchNameListScrollButton

const std::string& CPatchNameListScrollButton::GetTypeName() const
{
    static const std::string name("zt7PatchNameListScrollButton");
    return name;
}

void CPatchNameListScrollButton::OnPress(UL::CMouseInfo& info)
{
    CEntityNameListScrollButton::OnPress(info);
    m_timeouts.Start(kSettleKey, CPatchNameListControl::kSettleDelay);
    m_settling = true;
}

void CPatchNameListScrollButton::OnRelease(UL::CMouseInfo& info)
{
    CEntityNameListScrollButton::OnRelease(info);
    m_settling = false;
    m_timeouts.Erase(kSettleKey);
    CPatchBanks::RequestVisibleNames(false);
}

bool CPatchNameListScrollButton::OnTimer(const GT::CTimerInfo& info)
{
    // Held against the end of the list, the button steps no further: the names of what is in
    // view are asked for then, not only at the release.
    const bool stepped = CEntityNameListScrollButton::OnTimer(info);
    if (m_settling && m_timeouts.IsExpired(kSettleKey))
    {
        const CVeyScrollRange range = CVeyScrollRange::Read(*this);
        // While the held button still moves the window, the names wait for it to stop.
        if (IsCapturing() && range.currentLower != range.scrollLower && range.currentUpper != range.scrollUpper)
            m_timeouts.Start(kSettleKey, CPatchNameListControl::kSettleDelay);
        else
        {
            m_settling = false;
            m_timeouts.Erase(kSettleKey);
            CPatchBanks::RequestVisibleNames(false);
        }
    }
    return stepped;
}
