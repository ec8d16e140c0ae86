#pragma once
// Two passive controls: a picture that shows the bitmap state chosen by its value, and a label
// that draws a fixed text.
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyView.h"

#include <string>

class CVeyTextWriter;

class CVeyPictureControl : public CVeyControl
{
public:
    ~CVeyPictureControl() override;

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    // The rectangle becomes one bitmap state; a bitmap file that fails to load still creates.
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;
    // Takes only the top-left corner.
    void SetRect(const RECT& rect) override;

    int32_t GetDisplayState() const { return m_displayState; }

private:
    CVeyBitmapRef m_bitmap;
    int32_t m_offsetIndex = 0;
    int32_t m_displayState = 0;
};

class CVeyLabelControl : public CVeyControl
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;

    virtual const std::string& GetLabel() const { return m_label; }

private:
    CVeyTextWriter* m_textWriter = nullptr;
    std::string m_label;
};
