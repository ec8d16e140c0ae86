#pragma once
// An event record carrying one payload of any type; copying an event copies its payload.
#include <any>

namespace GT
{
class CEvent
{
public:
    CEvent() = default;
    explicit CEvent(std::any payload) : m_payload(std::move(payload)) {}
    virtual ~CEvent() = default;
    CEvent(const CEvent&) = default;
    CEvent& operator=(const CEvent&) = default;

    const std::any& GetPayload() const { return m_payload; }

private:
    std::any m_payload;
};
}
