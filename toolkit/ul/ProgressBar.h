#pragma once
// A modeless progress dialog behind GT::IProgress. It opens on the first report, disables the
// window that owns it so that the user cannot start anything else, keeps the interface alive by
// pumping messages whenever what it shows changes, offers an optional Cancel, and goes at End.
// The program supplies the dialog template: a message item, a progress control and Cancel (IDCANCEL).
#include "platform/Dialog.h"
#include "toolkit/gt/Progress.h"

#include <cstdint>
#include <string>

class CProgressCtrl;

namespace UL
{
class CProgressBar : public CDialog, public GT::IProgress
{
public:
    CProgressBar(UINT templateId, UINT messageItemId, UINT progressId);
    ~CProgressBar() override;

    void Begin() override;
    void End() override;
    void SetRange(int32_t range) override;
    int32_t GetRange() const override { return m_range; }
    void SetPos(int32_t position) override;
    int32_t GetPos() const override { return m_pos; }
    void SetTitle(const std::string& title) override;
    std::string GetTitle() const override;
    void SetMessage(const std::string& message) override;
    std::string GetMessage() const override { return m_message; }
    void SetCancelable(bool cancelable) override;
    bool IsCancelable() const override { return m_cancelable; }
    bool IsCanceled() override;

    bool IsShown() const { return GetSafeHwnd() != nullptr; }
    // What the control shows: at most 1000 steps; a range of 0 or less shows an empty bar.
    static int32_t ControlRange(int32_t range);
    static int32_t ControlPos(int32_t position, int32_t range);

protected:
    // Lets waiting messages through while the operation runs; every message by default.
    virtual void PumpWaitingMessages();
    void OnCancel() override;

private:
    bool Open();
    bool ApplyRange();
    bool ApplyPos();
    bool ApplyMessage();
    void ApplyCancelable();
    void PumpAndRefreshCursor();
    CProgressCtrl* Control() const;

    int32_t m_range = 100;
    int32_t m_pos = 0;
    int32_t m_shownRange = -1;
    int32_t m_shownPos = -1;
    std::string m_title;
    std::string m_message;
    UINT m_messageItemId;
    UINT m_progressId;
    bool m_cancelable = false;
    bool m_canceled = false;
    HWND m_owner = nullptr;
    bool m_ownerDisabled = false;
};

// The dialog the program's operations use: it lets only messages below WM_USER through (input,
// paint, timers), so posted MIDI deliveries wait until the operation is over instead of running
// inside it.
class CProgressBarA : public CProgressBar
{
public:
    using CProgressBar::CProgressBar;

protected:
    void PumpWaitingMessages() override;
};
}
