#pragma once
// A numeric edit that steps its number digit by digit: the digit left of the caret is the stepping
// digit; the Up and Down keys or the small button at the right edge (left button decreases, right
// button increases) step it, repeating at the keyboard's auto-repeat rate while held. Every change
// is first offered to the parent, which may refuse it.
#include "platform/CommonControls.h"
#include "platform/Controls.h"
#include "platform/SliderCtrl.h"

#include <cstdint>
#include <memory>
#include <string>

namespace GP
{
// WM_COMMAND notification codes to the parent around a run of steps.
constexpr UINT SEN_BEGINSTEP = 0x301;
constexpr UINT SEN_ENDSTEP = 0x302;
// WM_NOTIFY code sent before every change; a non-zero answer refuses the change.
constexpr UINT SEN_STEP = static_cast<UINT>(-722);

struct NMSPINEDIT
{
    NMHDR hdr;
    uint32_t alignment;
    double value;    // the current value
    double change;   // new value minus current value
};

class CSpinEdit;

// The small button at the spin edit's right edge; its look follows the stepping direction.
class CSpinEditButton : public CWnd
{
public:
    enum ELook { Normal = 0, Increasing = 1, Decreasing = 2, Disabled = 3 };

    explicit CSpinEditButton(CSpinEdit& edit);
    BOOL Create(const RECT& rect);
    void SetLook(ELook look);
    ELook GetLook() const { return m_look; }

protected:
    void OnPaint() override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnRButtonDown(UINT flags, CPoint point) override;
    void OnRButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;

private:
    CSpinEdit& m_edit;
    ELook m_look = Normal;
};

// The popup trackbar of sliding: coarse changes over the whole range while the mouse drags it.
class CSpinEditSlider : public CSliderCtrl
{
public:
    explicit CSpinEditSlider(CSpinEdit& edit) : m_edit(edit) {}
    // Creates the trackbar (horizontal when the cursor left the button vertically) with its thumb
    // under the cursor, off the edit, and hands the drag on to the thumb.
    BOOL Open(POINT cursor, POINT buttonCentre);
    // Puts the thumb at the edit's value without a notification.
    void ShowValue();

protected:
    void OnTrackbarScroll(UINT code, int position) override;
    BOOL PreTranslateKey(UINT virtualKey) override;
    // The other button during a drag puts the value at 0 when the range holds it.
    void OnTrackbarOtherButton() override;
    // The Enter posted at the end of a drag closes the trackbar.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    CSpinEdit& m_edit;
    int m_sign = 1;          // +1 horizontal, -1 vertical
    int m_suppress = 0;      // own position changes in progress
};

class CSpinEdit : public CEdit
{
public:
    enum EMode : int32_t { Typing = 0, Stepping = 1, Sliding = 2 };

    // `numberKind` 0 integer, 1 real; `format` 0 decimal, 1 hexadecimal, 2 hexadecimal with sign;
    // `digit` the first stepping digit (0 units, 1 tens, -1 first decimal). Precision and format
    // flags count only for real numbers.
    CSpinEdit(int32_t numberKind, int32_t format, int32_t digit, double minimum, double maximum,
              int32_t precision = 0, uint32_t formatFlags = 0);
    ~CSpinEdit() override;

    // Creates the edit with its button and shows the value read from its text.
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    double GetValue() const { return m_value; }
    // Sets the value (clamped) and shows it; no notification.
    void SetValue(double value);
    int32_t GetDigit() const { return m_digit; }
    EMode GetMode() const { return m_mode; }
    bool IsIntegerMode() const { return m_numberKind == 0; }
    CSpinEditButton* GetButton() const { return m_button.get(); }
    // The trackbar while sliding, else null.
    CSpinEditSlider* GetSlider() const;
    double GetMinimum() const { return m_minimum; }
    double GetMaximum() const { return m_maximum; }
    // The text the edit shows for the current value (formatted and padded).
    std::string FormatValue() const;

    // Process-wide auto-repeat timing, computed when a spin edit is constructed.
    static double GetRepeatDelay();
    static double GetRepeatInterval();
    static double GetSpeedFactor();
    // Forgets the speed factor so that the next construction reads "SpinEdit.ini" again (tests).
    static void ForgetSpeedFactor();

protected:
    BOOL PreTranslateKey(UINT message, UINT virtualKey) override;
    BOOL PreTranslateKeyUp(UINT virtualKey) override;
    void OnEditChange() override;
    void OnTimer(UINT_PTR id) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnEnable(BOOL enable) override;
    void OnDestroy() override;
    // WM_SETTEXT: wParam non-zero shows the formatted value, 0 takes the text as the new value.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    friend class CSpinEditButton;
    friend class CSpinEditSlider;
    // A value from the trackbar: clamped, offered to the parent and shown; false when refused.
    bool SlideTo(double value);
    void OnButtonDown(bool increase);
    void OnButtonUp(bool right, UINT heldButtons);
    void SetMode(EMode mode);
    void LeaveMode();
    // One step in the current direction; false when the parent refused it.
    bool Step();
    bool OfferChange(double newValue);
    void NotifyParent(UINT code);
    void ShowValue();
    void ReadText();
    void SelectDigit();
    void TakeDigitFromCaret();
    void PlaceButton();
    void ShowAvailability();
    bool HasFocusHere() const;

    int32_t m_numberKind;
    double m_value = 0;
    double m_minimum;
    double m_maximum;
    int32_t m_format;
    int32_t m_precision;
    uint32_t m_formatFlags;
    int32_t m_digit;
    std::unique_ptr<CSpinEditButton> m_button;
    // Kept after sliding ends until the next slide: it may close from inside its own handler.
    std::unique_ptr<CSpinEditSlider> m_slider;
    EMode m_mode = Typing;
    std::string m_text;
    bool m_settingText = false;
    int32_t m_timer = 0;
    bool m_increase = true;
    int32_t m_acceleration = 0;
};
}
