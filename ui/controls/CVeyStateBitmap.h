#pragma once
// The script's "bitmap" resource: one image file holding several equally sized states, optionally
// with per-state offsets and sizes from two number tables. The image is read on the first
// reference and freed when the last reference goes.
#include "model/CVeyResource.h"
#include "model/IVeyStateImage.h"
#include "toolkit/ul/Picture.h"

#include <string>

class CVeyIntegerTable;

class CVeyStateBitmap : public CVeyResource, public IVeyStateImage
{
public:
    // The folder image files are read from, ending with its separator.
    static void SetBitmapFolder(const std::string& folder);
    static const std::string& GetBitmapFolder();

    // "name", then "stateCount", "direction", "mask" and the offset tables; false at the first
    // bad value.
    bool Load(CAttributes& attributes) override;

    // The image file: the bitmap folder, then the name, with ".bmp" appended when it holds no '.'.
    std::string GetFilePath() const;

    bool AddRef() override;
    void Release() override;
    int32_t GetRefCount() const { return m_refCount; }
    bool IsLoaded() const { return m_picture.GetPicture().GetSize() != CSize(0, 0); }

    int32_t GetStateCount() const override { return m_picture.GetStateCount(); }
    void SetStateCount(int32_t count) { m_picture.SetStateCount(count); }
    void SetDirection(bool horizontal) { m_picture.SetHorizontal(horizontal); }
    void SetMask(bool mask) { m_picture.SetMasks(mask); }
    void SetOffsetTables(const CVeyIntegerTable* x, const CVeyIntegerTable* y)
    {
        m_xTable = x;
        m_yTable = y;
    }

    void GetStateSize(CSize& size, int32_t state) const override;
    void DrawState(const UL::CDrawInfo& info, const CPoint& point, int32_t state) override;
    // Draws the state into a rectangle of `size` from its four corners, so that a state image
    // shrinks to a smaller rectangle with its corners intact.
    void DrawQuarters(const UL::CDrawInfo& info, const CPoint& point, const CSize& size, int32_t state);

    UL::CStatePicture& GetStatePicture() { return m_picture; }

private:
    UL::CStatePicture m_picture;
    int32_t m_refCount = 0;
    const CVeyIntegerTable* m_xTable = nullptr;
    const CVeyIntegerTable* m_yTable = nullptr;
};

// A view's hold on a script bitmap. The image is read when the first holder takes hold and freed
// when the last one lets go; a reference lets go by itself when it is pointed elsewhere or ends.
class CVeyBitmapRef
{
public:
    CVeyBitmapRef() = default;
    CVeyBitmapRef(const CVeyBitmapRef&) = delete;
    CVeyBitmapRef& operator=(const CVeyBitmapRef&) = delete;
    ~CVeyBitmapRef() { Drop(); }

    CVeyBitmapRef& operator=(CVeyStateBitmap* bitmap)
    {
        if (bitmap != m_bitmap)
        {
            Drop();
            m_bitmap = bitmap;
        }
        return *this;
    }

    // Takes hold once; false when there is no bitmap or its image cannot be read.
    bool Hold()
    {
        if (!m_held && m_bitmap)
            m_held = m_bitmap->AddRef();
        return m_held;
    }
    // Lets go of a hold taken; a reference that holds nothing changes nothing.
    void Drop()
    {
        if (m_held)
            m_bitmap->Release();
        m_held = false;
    }
    bool IsHeld() const { return m_held; }

    CVeyStateBitmap* Get() const { return m_bitmap; }
    operator CVeyStateBitmap*() const { return m_bitmap; }
    CVeyStateBitmap* operator->() const { return m_bitmap; }

private:
    CVeyStateBitmap* m_bitmap = nullptr;
    bool m_held = false;
};
