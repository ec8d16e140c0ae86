#pragma once
// How a long operation reports its progress: a range, a position, a title and a message, and an
// optional Cancel the operation asks for. The interface itself does nothing, so an operation can
// always be given one.
#include <cstdint>
#include <string>

namespace GT
{
class IProgress
{
public:
    virtual ~IProgress() = default;
    virtual void Begin() {}
    virtual void End() {}
    virtual void SetRange(int32_t) {}
    virtual int32_t GetRange() const { return 0; }
    virtual void SetPos(int32_t) {}
    virtual int32_t GetPos() const { return 0; }
    virtual void Step() { SetPos(GetPos() + 1); }
    virtual void SetTitle(const std::string&) {}
    virtual std::string GetTitle() const { return std::string(); }
    virtual void SetMessage(const std::string&) {}
    virtual std::string GetMessage() const { return std::string(); }
    virtual void SetCancelable(bool) {}
    virtual bool IsCancelable() const { return false; }
    virtual bool IsCanceled() { return false; }
};
}
