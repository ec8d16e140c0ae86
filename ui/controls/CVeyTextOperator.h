#pragma once
// Control operators: small objects a control owns and hands one concern to. This file holds their
// common base and the text operator, which keeps the text shown inside a control (from the value
// of reference 0, a string table, an offset, a unit, or a picture for the highest indexes) and
// turns typed text back into an index.
#include "model/CVeyElementDefinition.h"
#include "platform/Geometry.h"
#include "ui/controls/CVeyStateBitmap.h"

#include <cstdint>
#include <string>
#include <vector>

class CVeyControl;
class CVeyStringTable;
class CVeyTextWriter;

namespace UL
{
class CDrawInfo;
}

class CVeyControlOperator
{
public:
    using CAttributes = CVeyElementDefinition::CAttributes;
    // Results of LoadAttributes.
    enum : int32_t
    {
        kFailed = 0,
        kNotWanted = 1,   // the control goes without this concern (and may delete the operator)
        kConfigured = 2,
    };

    explicit CVeyControlOperator(CVeyControl* control) : m_control(control) {}
    virtual ~CVeyControlOperator() = default;
    CVeyControlOperator(const CVeyControlOperator&) = delete;
    CVeyControlOperator& operator=(const CVeyControlOperator&) = delete;

    virtual int32_t LoadAttributes(CAttributes& attributes) = 0;
    CVeyControl* GetControl() const { return m_control; }

protected:
    CVeyControl* m_control;
};

class CVeyTextOperator : public CVeyControlOperator
{
public:
    using CVeyControlOperator::CVeyControlOperator;

    virtual void SetTextRect(const RECT& rect) = 0;
    virtual const CRect& GetTextRect() const = 0;
    virtual bool HasTextPosition() const = 0;
    virtual bool HasTextSize() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual const std::string& GetText() const = 0;
    virtual const std::vector<CVeyTextWriter*>& GetTextWriters() const = 0;
    virtual std::vector<CVeyTextWriter*>& GetTextWriters() = 0;
    virtual void Draw(const UL::CDrawInfo& info, int32_t writerIndex) = 0;
    // Creation-time validation; run after the control itself is created.
    virtual bool Check() = 0;
    virtual void UpdateFromValue() = 0;
    // The control's rectangle is about to become `rect` (call before it changes): the text
    // rectangle moves edge by edge with it.
    virtual void OnControlRectChanged(const RECT& rect) = 0;
};

class CVeySingleTextOperator : public CVeyTextOperator
{
public:
    using CVeyTextOperator::CVeyTextOperator;
    ~CVeySingleTextOperator() override;

    // "textPosition", "textSize", "textWriterRef" (repeatable), "stringTableRef", "offsetValue",
    // "pictorialBitmapRef", "pictorialStringTableRef", "unit". kNotWanted without a text writer.
    int32_t LoadAttributes(CAttributes& attributes) override;
    void SetTextRect(const RECT& rect) override { m_textRect = rect; }
    const CRect& GetTextRect() const override { return m_textRect; }
    bool HasTextPosition() const override { return m_hasTextPosition; }
    bool HasTextSize() const override { return m_hasTextSize; }
    void SetText(const std::string& text) override { m_text = text; }
    const std::string& GetText() const override { return m_text; }
    const std::vector<CVeyTextWriter*>& GetTextWriters() const override { return m_textWriters; }
    std::vector<CVeyTextWriter*>& GetTextWriters() override { return m_textWriters; }
    void Draw(const UL::CDrawInfo& info, int32_t writerIndex) override;
    bool Check() override;
    void UpdateFromValue() override;
    void OnControlRectChanged(const RECT& rect) override;

    // The text made to fit the text value of reference 0: cut or padded to its size, every
    // character clipped into the value's range.
    std::string FitText(const std::string& text) const;
    // The index that typed text stands for: the nearest table entry, or the number.
    int32_t TextToIndex(const std::string& text) const;

    // -1 while the text is shown, else the state of the pictorial bitmap shown.
    int32_t GetPictorialState() const { return m_pictorialState; }
    int32_t GetOffsetValue() const { return m_offsetValue; }
    const std::string& GetUnit() const { return m_unit; }
    const CVeyStringTable* GetStringTable() const { return m_stringTable; }

    // Position in `entries` of the entry nearest to `text` (sorted with SmartLess, ties to the
    // earlier one); -1 for an empty list.
    static int32_t FindNearestEntry(const std::vector<std::string>& entries, const std::string& text);

private:
    std::vector<CVeyTextWriter*> m_textWriters;
    CRect m_textRect{-1, -1, -1, -1};
    const CVeyStringTable* m_stringTable = nullptr;
    int32_t m_offsetValue = 0;
    CVeyBitmapRef m_pictorialBitmap;
    const CVeyStringTable* m_pictorialStringTable = nullptr;
    std::string m_unit;
    std::string m_text;
    int32_t m_pictorialState = -1;

    // The text rectangle's offset and size as written, relative to the control until Check.
    CPoint m_textPosition;
    CSize m_textSize;
    bool m_hasTextPosition = false;
    bool m_hasTextSize = false;
};
