#pragma once
// The process-wide mouse cursor: a stack of cursor requests. A changer pushes a request and gets
// a handle; popping by handle removes that request wherever it lies, and the top request's
// cursor is shown again. With an empty stack the windows choose their cursors.
#include "platform/Geometry.h"

#include <cstdint>
#include <map>
#include <vector>

namespace UL
{
class ICursorChanger;

// Cursor ids of the table (0 arrow, 1 wait, 2 text beam, 3 cross, 4..18 the program's own).
enum : int32_t
{
    CURSOR_ARROW = 0,
    CURSOR_WAIT = 1,
    CURSOR_BEAM = 2,
    CURSOR_CROSS = 3,
};

class ICursor
{
public:
    virtual ~ICursor() = default;
    virtual void Register(int32_t, bool /*system*/, uint16_t /*imageId*/) {}
    virtual int32_t Push(int32_t, ICursorChanger*) { return 0; }
    virtual void Pop(int32_t) {}
    virtual void Reset() {}
    virtual void Refresh(const CPoint&) {}
    virtual bool HasRequests() const { return false; }
    virtual int32_t TopHandle() const { return -1; }
    virtual void Apply(int32_t) {}
};

class ACursor : public ICursor
{
public:
    ACursor();
    int32_t Push(int32_t id, ICursorChanger* changer) override;
    void Pop(int32_t handle) override;
    void Refresh(const CPoint& point) override;
    bool HasRequests() const override { return !m_stack.empty(); }
    int32_t TopHandle() const override { return m_stack.empty() ? -1 : m_stack.back().handle; }

protected:
    struct CRequest
    {
        int32_t handle;
        int32_t id;
        ICursorChanger* changer;
    };
    int32_t m_nextHandle = 0;
    std::vector<CRequest> m_stack;
};

class CCursor : public ACursor
{
public:
    CCursor();
    // The process-wide cursor, made on first use.
    static CCursor& Instance();
    static ICursor& GetCursor();

    void Register(int32_t id, bool system, uint16_t imageId) override;
    void Reset() override;
    // Shows the cursor of the id; an id without a usable image shows the arrow, since a cursor
    // change must never fail the operation that asked for it.
    void Apply(int32_t id) override;

private:
    struct CEntry
    {
        bool system;
        uint16_t imageId;
    };
    std::map<int32_t, CEntry> m_table;
};

class ICursorChanger
{
public:
    virtual ~ICursorChanger() = default;
    virtual void OnRefresh(const CPoint&) {}
};

// Holds at most one request on the process-wide cursor; the request goes with the changer, so
// a view that is destroyed while its cursor is pushed leaves no dangling request behind.
class ACursorChanger : public ICursorChanger
{
public:
    ACursorChanger() = default;
    ~ACursorChanger() override;
    ACursorChanger(const ACursorChanger&) = delete;
    ACursorChanger& operator=(const ACursorChanger&) = delete;

    void Change(int32_t id);
    void Restore();
    int32_t GetHandle() const { return m_handle; }
    int32_t GetId() const { return m_id; }

private:
    int32_t m_handle = -1;
    int32_t m_id = -1;
};

// The wait cursor for the life of a scope.
class CWaitCursor : public ACursorChanger
{
public:
    CWaitCursor() { Change(CURSOR_WAIT); }
    ~CWaitCursor() override { Restore(); }
};
}
