#pragma once
// The pop controls show one value as a line of text and open a popup (a menu of the selectable
// values, or an in-place edit) when pressed; the popup's choice is committed to the model. Both
// bases may draw a button from a state bitmap (state 1 while the popup is open) and may step the
// value with the wheel. CVeyPopControl draws its own text with a text writer; CVeyPopControlX
// hands the text to a text operator and can be made read-only ("editable" 0).
#include "ui/controls/CVeyInputOperators.h"
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyTextOperator.h"
#include "ui/controls/CVeyView.h"

#include <cstdint>
#include <memory>
#include <string>

class CVeyStringTable;
class CVeyTextWriter;

class CVeyPopControl : public CVeyControl, public IVeySingleControl
{
public:
    explicit CVeyPopControl(int32_t wheelDefault);
    ~CVeyPopControl() override;

    // The control's, then "textPosition", "textSize", "buttonPosition", "textWriterRef",
    // "bitmapRef", "stringTableRef", "offsetValue" and "useWheel"; the rest stays for the subclass.
    bool LoadAttributes(CAttributes& attributes) override;
    // Needs a text writer and a value reference; moves the button and the text with the control.
    // The subclass then applies its position defaults.
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    // A press or double click (inside the button when there is a bitmap) opens the popup.
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    // The button follows the top-left corner; the text rectangle stretches with the control.
    void SetRect(const RECT& rect) override;

    virtual std::unique_ptr<CVeyWheelOperator> CreateWheelOperator();
    virtual std::string& GetTextRecord() { return m_text; }
    // Runs the subclass's popup; returns when it has closed.
    virtual void OpenPopup() = 0;
    // The popup has closed: the button is drawn up again.
    void ReleaseButton();

    CVeyControl* GetControl() override { return this; }
    int32_t GetValueCount() const override;
    void SetValue(int32_t index) override;

    CRect GetButtonRect() const;
    const CPoint& GetButtonPosition() const { return m_buttonPosition; }
    const CRect& GetTextRect() const { return m_textRect; }
    CVeyTextWriter* GetTextWriter() const { return m_textWriter; }
    const CVeyStringTable* GetStringTable() const { return m_stringTable; }
    int32_t GetOffsetValue() const { return m_offsetValue; }
    bool IsButtonPressed() const { return m_buttonPressed; }
    int32_t GetWheelUse() const { return m_useWheel; }

protected:
    CVeyBitmapRef m_bitmap;
    CPoint m_buttonPosition{-1, -1};
    CRect m_textRect{-1, -1, -1, -1};
    CVeyTextWriter* m_textWriter = nullptr;
    const CVeyStringTable* m_stringTable = nullptr;
    int32_t m_offsetValue = 0;
    bool m_buttonPressed = false;
    std::string m_text;
    int32_t m_useWheel;
};

class CVeyPopControlX : public CVeyControl, public IVeySingleControl
{
public:
    explicit CVeyPopControlX(int32_t wheelDefault);
    ~CVeyPopControlX() override;

    // The control's, the text operator's (a text writer is required), then "buttonPosition",
    // "bitmapRef", "useWheel" and "editable".
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    // As CVeyPopControl's while editable; otherwise nothing.
    bool OnMouse(UL::CMouseInfo& info) override;
    bool OnMouseWheel(UL::CWheelInfo& info) override;
    void SetRect(const RECT& rect) override;

    virtual std::unique_ptr<CVeySingleTextOperator> CreateTextOperator();
    virtual std::unique_ptr<CVeyWheelOperator> CreateWheelOperator();
    virtual void SetText(const std::string& text);
    virtual const std::string& GetText() const;
    virtual void OpenPopup() = 0;
    void ReleaseButton();

    CVeyControl* GetControl() override { return this; }
    int32_t GetValueCount() const override;
    void SetValue(int32_t index) override;

    CRect GetButtonRect() const;
    const CPoint& GetButtonPosition() const { return m_buttonPosition; }
    CVeySingleTextOperator* GetTextOperator() const { return m_textOperator.get(); }
    bool IsButtonPressed() const { return m_buttonPressed; }
    bool IsEditable() const { return m_editable; }
    int32_t GetWheelUse() const { return m_useWheel; }

protected:
    // True when the script gave a button position that lies within the control (both offsets
    // not negative); known before Create moves it.
    bool HasButtonPosition() const { return m_buttonPosition.x >= 0 && m_buttonPosition.y >= 0; }

    CVeyBitmapRef m_bitmap;
    CPoint m_buttonPosition{-1, -1};
    std::unique_ptr<CVeySingleTextOperator> m_textOperator;
    bool m_buttonPressed = false;
    int32_t m_useWheel;
    bool m_editable = true;
};
