#pragma once
// Display-only controls that show one value as text; the picture variant shows the highest values
// of the range as bitmap states instead.
#include "ui/controls/CVeyStateBitmap.h"
#include "ui/controls/CVeyView.h"

#include <string>

class CVeyStringTable;
class CVeyTextWriter;

class CVeyStaticTextControl : public CVeyControl
{
public:
    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;

    virtual const std::string& GetText() const { return m_text; }

protected:
    CVeyTextWriter* m_textWriter = nullptr;
    int32_t m_offsetValue = 0;
    const CVeyStringTable* m_stringTable = nullptr;
    std::string m_text;
    std::string m_unit;
};

class CVeyStaticTextPictureControl : public CVeyControl
{
public:
    ~CVeyStaticTextPictureControl() override;

    const std::string& GetTypeName() const override;
    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void Draw(const UL::CDrawInfo& info) override;
    void UpdateFromValue() override;

    const std::string& GetText() const { return m_text; }
    // -1 while text is shown.
    int32_t GetPictureState() const { return m_pictureState; }

protected:
    CVeyTextWriter* m_textWriter = nullptr;
    int32_t m_offsetValue = 0;
    std::string m_unit;
    const CVeyStringTable* m_stringTable = nullptr;
    CVeyBitmapRef m_bitmap;
    std::string m_text;
    int32_t m_pictureState = -1;

private:
};
