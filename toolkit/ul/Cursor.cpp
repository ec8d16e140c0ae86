#include "toolkit/ul/Cursor.h"

#include "platform/Shell.h"
#include "platform/Wnd.h"

#include <algorithm>

namespace UL
{
ACursor::ACursor()
{
    m_stack.reserve(32);
}

int32_t ACursor::Push(int32_t id, ICursorChanger* changer)
{
    const int32_t handle = m_nextHandle;
    m_nextHandle = m_nextHandle == INT32_MAX ? 0 : m_nextHandle + 1;
    m_stack.push_back(CRequest{handle, id, changer});
    Apply(id);
    return handle;
}

void ACursor::Pop(int32_t handle)
{
    const auto found = std::find_if(m_stack.rbegin(), m_stack.rend(), [handle](const CRequest& r) { return r.handle == handle; });
    if (found != m_stack.rend())
        m_stack.erase(std::next(found).base());
    if (!m_stack.empty())
        Apply(m_stack.back().id);
    else
        Reset();
}

void ACursor::Refresh(const CPoint& point)
{
    if (m_stack.empty())
        return;
    const CRequest top = m_stack.back();
    if (top.changer)
        top.changer->OnRefresh(point);
    if (!m_stack.empty())
        Apply(m_stack.back().id);
}

CCursor::CCursor()
{
    static const uint16_t kProgram[] = {26634, 26633, 26638, 26637, 26629, 26635, 26636, 26631,
                                        26632, 26630, 26640, 26641, 26643, 26642, 26639};
    Register(CURSOR_ARROW, true, IDC_ARROW);
    Register(CURSOR_WAIT, true, IDC_WAIT);
    Register(CURSOR_BEAM, true, IDC_IBEAM);
    Register(CURSOR_CROSS, true, IDC_CROSS);
    for (int32_t i = 0; i < 15; ++i)
        Register(4 + i, false, kProgram[i]);
}

CCursor& CCursor::Instance()
{
    static CCursor cursor;
    return cursor;
}

ICursor& CCursor::GetCursor()
{
    return Instance();
}

void CCursor::Register(int32_t id, bool system, uint16_t imageId)
{
    m_table[id] = CEntry{system, imageId};
}

void CCursor::Reset()
{
    m_stack.clear();
    // Lets the window under the pointer choose its cursor again.
    RestoreWindowCursors();
}

void CCursor::Apply(int32_t id)
{
    const auto it = m_table.find(id);
    if (it == m_table.end() || !SetProgramCursor(it->second.imageId, it->second.system))
        SetProgramCursor(IDC_ARROW, true);
}

ACursorChanger::~ACursorChanger()
{
    Restore();
}

void ACursorChanger::Change(int32_t id)
{
    ICursor& cursor = CCursor::GetCursor();
    if (m_handle >= 0)
    {
        if (cursor.TopHandle() == m_handle && m_id == id)
            return;
        cursor.Pop(m_handle);
    }
    m_handle = cursor.Push(id, this);
    m_id = id;
}

void ACursorChanger::Restore()
{
    if (m_handle < 0)
        return;
    const int32_t handle = m_handle;
    m_handle = -1;
    m_id = -1;
    CCursor::GetCursor().Pop(handle);
}
}
