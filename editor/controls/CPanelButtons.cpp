#include "editor/controls/CPanelButtons.h"

#include "editor/controls/CInstrumentSelectControls.h"
#include "editor/controls/CPatchNameList.h"
#include "editor/controls/InstrumentLink.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyExpression.h"
#include "model/CVeyValue.h"
#include "toolkit/gt/Format.h"
#include "toolkit/gt/IndexedStringTable.h"
#include "toolkit/gt/TraceTextOut.h"
#include "toolkit/ul/PopupMenu.h"
#include "toolkit/ul/TextDialog.h"

#include <algorithm>

// CBankComboControl

bool CBankComboControl::OnTimer(const GT::CTimerInfo& info)
{
    const bool used = CVeyPopComboControl::OnTimer(info);
    if (m_wheelPending && m_timeouts.IsExpired(0))
    {
        m_wheelPending = false;
        m_timeouts.Erase(0);
        if (const CVeyValue* value = CVeyView::GetValue(0))
            SetValue(value->GetIndex());
    }
    return used;
}

void CBankComboControl::StartWheelDelay()
{
    m_timeouts.Start(0, kWheelDelay);
    m_wheelPending = true;
}

void CBankComboWheelOperator::Step(int32_t steps)
{
    m_changed = false;
    const CVeyValue* value = m_combo->CVeyView::GetValue(0);
    if (!value || !value->GetDefinition()->IsNumeric())
        return;
    const int32_t count = m_combo->GetValueCount();
    if (count < 1)
        return;
    const int32_t current = value->GetIndex();
    const int32_t wanted = int32_t(std::clamp<int64_t>(int64_t(current) + steps, 0, count - 1));
    if (wanted == current)
        return;
    m_combo->SetValueNow(wanted);
    m_combo->StartWheelDelay();
    m_changed = true;
}

// CChangePatchBankCombo

const std::string& CChangePatchBankCombo::GetTypeName() const
{
    static const std::string name("q9eChangePatchBankCombo");
    return name;
}

std::string CChangePatchBankCombo::BankLabel(int32_t index)
{
    std::string text;
    return GT::Format(text, "Bank %d", CPatchBanks::IsValidBank(index) ? index + 1 : 0);
}

void CChangePatchBankCombo::UpdateFromValue()
{
    const CVeyValue* value = CVeyView::GetValue(0);
    if (!value)
        return;
    const std::string text = BankLabel(value->GetIndex());
    if (text != m_text)
    {
        m_text = text;
        Invalidate(&m_textRect);
    }
}

int32_t CChangePatchBankCombo::GetValueCount() const
{
    return std::clamp(CPatchBanks::kBankCount, 0, CountValues(CVeyView::GetValue(0)));
}

void CChangePatchBankCombo::SetValue(int32_t index)
{
    SetValueNow(index);
    if (CPatchBanks::IsValidBank(index))
        if (CVeyValue* flag = CVeyBufferManager::GetInstance().FindValueOrNull("vs.patchNameList.categorySelectFlag"))
            CVeyBufferManager::GetInstance().SetValue(flag, 0);
    if (CPatchBanks::LocateCurrentPatch())
        CPatchBanks::RequestVisibleNames(true);
}

void CChangePatchBankCombo::OpenPopup()
{
    UL::CPopupMenuItemList items;
    const int32_t count = GetValueCount();
    for (int32_t bank = 0; bank < count; ++bank)
        items.push_back(std::make_unique<UL::CPopupMenuItem>(BankLabel(bank)));
    const CVeyValue* value = CVeyView::GetValue(0);
    CPoint below;
    ClientToScreen(below, CPoint(m_rect.left, m_rect.bottom + 2));
    const POINT point{below.x, below.y};
    const int32_t chosen = UL::GetPopupMenu().TrackIndex(items, value ? value->GetIndex() : -1, &point);
    if (chosen >= 0 && chosen < count)
        SetValue(chosen);
    ReleaseButton();
    SetFocus(false);
}

std::unique_ptr<CVeyWheelOperator> CChangePatchBankCombo::CreateWheelOperator()
{
    return std::make_unique<CBankComboWheelOperator>(this);
}

// CSelectPanelButton

const std::string& CSelectPanelButton::GetTypeName() const
{
    static const std::string name("wemSelectPanelButton");
    return name;
}

bool CSelectPanelButton::LoadAttributes(CAttributes& attributes)
{
    if (!CVeyLatchButton::LoadAttributes(attributes))
        return false;
    return CVeyAttributeReader()
        .Take("partId",
              [this](const std::string& text) {
                  m_partId = text;
                  if (RegisterExpression(m_partId))
                      return true;
                  GetTraceTextOut().Printf("Unable to interpret partId for zt7SelectPanelButton. : %s : %s\n",
                                           GetFullName().c_str(), text.c_str());
                  return false;
              })
        .Read(attributes);
}

int32_t CSelectPanelButton::GetPartId()
{
    int32_t part = -1;
    return CVeyExpression::EvaluateStrict(m_partId, m_valueRefs, part) ? part : -1;
}

void CSelectPanelButton::UpdateFromValue()
{
    CVeyLatchButton::UpdateFromValue();
    const int32_t part = GetPartId();
    if (part == -1)
        return;
    const CVeyValue* value = CVeyView::GetValue(0);
    int32_t on = 0;
    int32_t off = 0;
    const bool isOn = value && EvaluateOnOff(on, off) && value->GetNumber() == on && part == 0;
    SetDisplayState((isOn ? 2 : 0) + (GetFeedbackState() ? 1 : 0));
}

void CSelectPanelButton::OnRelease(UL::CMouseInfo& info)
{
    const CVeyValue* value = CVeyView::GetValue(0);
    int32_t on = 0;
    int32_t off = 0;
    if (m_inside && value && EvaluateOnOff(on, off))
    {
        const int32_t next = value->GetNumber() == on ? off : on;
        if (next == 2)
            CPatchBanks::ShowBankOfCurrentPatch();
    }
    CVeyLatchButton::OnRelease(info);
}

// CSelectPartButton

const std::string& CSelectPartButton::GetTypeName() const
{
    static const std::string name("q9eSelectPartButton");
    return name;
}

void CSelectPartButton::OnRelease(UL::CMouseInfo& info)
{
    CVeyLatchButton::OnRelease(info);
    if (m_inside)
        CPatchBanks::ShowBankOfCurrentPatch();
}

// CWritePanelButton

const std::string& CWritePanelButton::GetTypeName() const
{
    static const std::string name("q9eWritePanelButton");
    return name;
}

void CWritePanelButton::OnRelease(UL::CMouseInfo& info)
{
    // Not the latch's release: what the value becomes depends on where the user is.
    CVeyButton::OnRelease(info);
    CVeyValue* value = CVeyView::GetValue(0);
    if (!m_inside || !value)
        return;
    IInstrumentLink& link = IInstrumentLink::Get();
    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    switch (link.GetPatchState())
    {
    case IInstrumentLink::kPatchScreen:
        buffers.SetValue(value, 2);
        CPatchBanks::ShowBankOfCurrentPatch(true);
        break;
    case IInstrumentLink::kSystemArea:
        if (UL::CTextDialog::GetInstance().Show(1, 1, GetMessageTable().Find(kMessageOverwriteSystemArea)) == UL::ANSWER_OK)
            link.RequestWrite();
        buffers.SetValue(value, 0);
        break;
    default:
        break;
    }
    CommitChanges();
}
