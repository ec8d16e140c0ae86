#pragma once
// The base of everything the script places on screen (panels and controls) and of every script
// control. Views hold no window: their rectangles are in the client area of the window that shows
// the root panel, and capture, coordinate mapping and invalidation travel up the parent chain to it.
#include "model/CVeyAttributeReader.h"
#include "model/CVeyElementDefinition.h"
#include "model/CVeyValueRef.h"
#include "platform/Geometry.h"
#include "toolkit/gt/Timeout.h"
#include "toolkit/ul/Cursor.h"
#include "toolkit/ul/Input.h"

#include <cstdint>
#include <string>
#include <vector>

class CVeyBitmapRef;
class CVeyValue;
class CVeyView;

namespace GT
{
class ATextOut;
}

// An input event that carries a point and is routed by position like the mouse (drops, hovers).
class CVeyLocatedEvent
{
public:
    virtual ~CVeyLocatedEvent() = default;
    virtual CPoint GetPoint() const = 0;
};

// The focused, capturing and tip-bar views of the view manager. They live beside the views so that
// a control reaches them without knowing the panels; a view that is destroyed clears itself here.
struct CVeyViewPointers
{
    static CVeyViewPointers& GetInstance();
    void Forget(const CVeyView* view);

    CVeyView* focused = nullptr;     // has the keyboard focus
    CVeyView* capturing = nullptr;   // set by SetCapture
    CVeyView* tipBar = nullptr;      // took the focus last; its tip bar is shown
};

class CVeyView : public UL::ACursorChanger
{
public:
    using CAttributes = CVeyElementDefinition::CAttributes;

    CVeyView() = default;
    ~CVeyView() override;

    // Pops this view's cursor when the pointer (screen coordinates) has left the view, unless the
    // view holds the capture.
    void OnRefresh(const CPoint& screenPoint) override;
    virtual void SetCapture(bool capture);
    virtual CVeyView* GetParent() const = 0;
    virtual CPoint& ClientToScreen(CPoint& out, const CPoint& point) const = 0;
    virtual CPoint& ScreenToClient(CPoint& out, const CPoint& point) const = 0;
    // Takes "name", "position" and "size" out of the list; what is left is the subclass's.
    virtual bool LoadAttributes(CAttributes& attributes);
    // Moves the rectangle by the parent's top-left and resolves the value references.
    virtual bool Create(CVeyView* parent);
    virtual void Draw(const UL::CDrawInfo& info) = 0;
    virtual bool OnMouse(UL::CMouseInfo& info);
    virtual bool OnMouseWheel(UL::CWheelInfo& info);
    virtual bool OnKey(const UL::KeyInfo& info);
    virtual bool OnTimer(const GT::CTimerInfo& info);
    virtual bool OnLocatedEvent(CVeyLocatedEvent& event);
    // The window lost the mouse (the user switched programs, or a modal window opened) while this
    // view held the capture: the button-up will never come. Nothing by default.
    virtual void OnCaptureLost();
    // Null stands for the view's own rectangle.
    virtual void Invalidate(const CRect* rect) = 0;
    virtual void Redraw(const CRect* rect) = 0;
    // The values of one commit; true when the view reacted.
    virtual bool OnValuesChanged(const std::vector<CVeyValue*>& changes);
    virtual bool Refresh();
    virtual bool Open();
    virtual bool Close();
    virtual void UpdateFromValue();
    virtual void SetFocus(bool focus);
    virtual bool HasFocus() const;
    virtual void SetRect(const RECT& rect);
    virtual void ReportErrorWithDetail(const std::string& message, const std::string& detail) const;
    virtual void ReportError(const std::string& message) const;
    // Diagnostic lines for the attribute reader, given the bad value: ReportErrorWithDetail with
    // `message`, or the printf `format` filled with the full name and the value, in that order (a
    // format may leave the value out).
    CVeyAttributeReader::FReport Detail(const char* message) const;
    CVeyAttributeReader::FReport Says(std::string format) const;
    // The same with the value first and the full name second.
    CVeyAttributeReader::FReport SaysValueFirst(std::string format) const;
    virtual void DumpAttributes(GT::ATextOut& out) const;
    virtual void DumpNames(GT::ATextOut& out) const;

    // Reference i (-1 means 0). An index without a reference gives an empty, unresolved one, so a
    // control that forgot to require a reference finds no value instead of reading past the list.
    CVeyValueRef& GetValueRef(int32_t index);
    const CVeyValueRef& GetValueRef(int32_t index) const;
    // The resolved value of reference i (-1 means 0), or null. A control that acts on one of
    // several values by a switch answers the chosen one here.
    virtual CVeyValue* GetValue(int32_t index) const;
    CVeyValueRefs& GetValueRefs() { return m_valueRefs; }
    const CVeyValueRefs& GetValueRefs() const { return m_valueRefs; }
    int32_t GetValueRefCount() const { return static_cast<int32_t>(m_valueRefs.size()); }

    // The names from the root down, joined by '.'.
    std::string GetFullName() const;
    CVeyView* GetRootView();
    // Opens or closes the view when the state differs; true when it did.
    bool SetOpen(bool open);
    // Resolves every reference; at the first failure writes its line and returns false.
    bool ResolveValueRefs();

    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    const CRect& GetRect() const { return m_rect; }
    bool IsOpen() const { return m_open; }
    bool IsCapturing() const { return m_capture; }

protected:
    // For the attribute reader: appends a value reference to the path given, and stores its index
    // in `index` when one is given.
    CVeyAttributeReader::FTake TakeValueRef(int32_t* index = nullptr);

    // Resolves a reference again after one of the values its brackets read has changed. When the
    // new path names no value the reference keeps its previous value and dependencies, so the view
    // goes on showing a real value and follows the index once it names one again.
    bool ReresolveValueRef(CVeyValueRef& ref);

    CRect m_rect;
    bool m_capture = false;
    std::string m_name;
    CVeyValueRefs m_valueRefs;
    bool m_open = false;
};

class CVeyControl : public CVeyView
{
public:
    void SetCapture(bool capture) override;
    CVeyView* GetParent() const override { return m_parent; }
    CPoint& ClientToScreen(CPoint& out, const CPoint& point) const override;
    CPoint& ScreenToClient(CPoint& out, const CPoint& point) const override;
    // The view's attributes, then every "valueRef" in list order.
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Invalidate(const CRect* rect) override;
    void Redraw(const CRect* rect) override;
    // Also follows the parent's open state.
    bool OnValuesChanged(const std::vector<CVeyValue*>& changes) override;
    void ReportErrorWithDetail(const std::string& message, const std::string& detail) const override;
    void ReportError(const std::string& message) const override;
    void DumpAttributes(GT::ATextOut& out) const override;
    void DumpNames(GT::ATextOut& out) const override;
    // The script's type name of the control ("knob"); the factory compares the same text.
    virtual const std::string& GetTypeName() const = 0;

    // "There is no value reference." and false when the control has none; controls that use
    // reference 0 call it at creation before they touch the value.
    bool RequireValueRef() const;
    // Holds the control's bitmap from now on (the reference lets go by itself). False, after
    // "Unable to create bitmap for <word>. : <full name>", when there is none or it cannot be read.
    bool HoldBitmap(CVeyBitmapRef& bitmap, const std::string& word) const;

protected:
    CVeyView* m_parent = nullptr;
};

// Second interface of the controls that edit one integer value by index.
class IVeySingleControl
{
public:
    virtual ~IVeySingleControl() = default;
    virtual CVeyControl* GetControl() = 0;
    // Number of selectable indexes of value reference 0 (0 without a value).
    virtual int32_t GetValueCount() const = 0;
    // Makes the index the value's current index and commits it.
    virtual void SetValue(int32_t index) = 0;

    // The value count of a value's definition; 0 for null.
    static int32_t CountValues(const CVeyValue* value);
    // When the index differs from the value's current one: set by index, then flush, update the
    // views and clear the change list. False when nothing changed.
    static bool CommitIndex(CVeyValue* value, int32_t index);
};
