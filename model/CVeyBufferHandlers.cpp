#include "model/CVeyBufferHandlers.h"

#include "model/CVeyBufferManager.h"

#include <algorithm>
#include <cstring>

// ---- CVeyBufferHandlers ----

CVeyBufferHandlers::~CVeyBufferHandlers()
{
    Clear();
}

void CVeyBufferHandlers::Append(IVeyBufferHandler* handler)
{
    if (handler)
        push_back(handler);
}

void CVeyBufferHandlers::Clear()
{
    // Emptied before the deletes, so a handler's destructor never sees its own list.
    std::vector<IVeyBufferHandler*> handlers;
    handlers.swap(*this);
    for (IVeyBufferHandler* handler : handlers)
        delete handler;
}

template <typename Call>
bool CVeyBufferHandlers::CallAll(Call call)
{
    // A handler may append another handler while it is called: only those there at the start
    // are called, by index, as appending may move the list.
    const size_t count = size();
    bool taken = false;
    for (size_t i = 0; i < count && i < size(); ++i)
        taken = call(*(*this)[i]) || taken;
    return taken;
}

bool CVeyBufferHandlers::OnSetArrays(const CVeyValueArrays& changes)
{
    return CallAll([&](IVeyBufferHandler& h) { return h.OnSetArrays(changes); });
}

bool CVeyBufferHandlers::OnSetTexts(const CVeyValueTexts& changes)
{
    return CallAll([&](IVeyBufferHandler& h) { return h.OnSetTexts(changes); });
}

bool CVeyBufferHandlers::OnSetValues(const CVeyValueNumbers& changes)
{
    return CallAll([&](IVeyBufferHandler& h) { return h.OnSetValues(changes); });
}

bool CVeyBufferHandlers::OnValuesChanged(const CVeyValueList& values)
{
    return CallAll([&](IVeyBufferHandler& h) { return h.OnValuesChanged(values); });
}

bool CVeyBufferHandlers::OnReadStructData(CVeyStruct* s, std::istream& stream)
{
    return CallAll([&](IVeyBufferHandler& h) { return h.OnReadStructData(s, stream); });
}

bool CVeyBufferHandlers::OnDataRead(const CVeyValueList& values)
{
    return CallAll([&](IVeyBufferHandler& h) { return h.OnDataRead(values); });
}

bool CVeyBufferHandlers::OnValuesReceived(const CVeyValueList& values)
{
    return CallAll([&](IVeyBufferHandler& h) { return h.OnValuesReceived(values); });
}

// ---- CVeyBufferSynchronizer ----

bool CVeyBufferSynchronizer::AddStruct(CVeyStruct* s)
{
    const std::vector<uint8_t>* data = s ? s->GetData() : nullptr;
    if (!data)
        return false;
    return AddStruct(s, 0, static_cast<int32_t>(data->size()));
}

bool CVeyBufferSynchronizer::AddStruct(CVeyStruct* s, int32_t begin, int32_t size)
{
    const std::vector<uint8_t>* data = s ? s->GetData() : nullptr;
    if (!data || begin < 0 || size < 0 || static_cast<size_t>(begin) + static_cast<size_t>(size) > data->size())
        return false;
    const uint8_t* first = data->data() + begin;
    m_structs.push_back({s, first, first + size});
    return true;
}

bool CVeyBufferSynchronizer::OnValuesChanged(const CVeyValueList& values)
{
    if (!m_maskValue)
        return false;
    const uint32_t mask = static_cast<uint32_t>(m_maskValue->GetNumber());
    const size_t linkedCount = std::min<size_t>(m_structs.size(), 32);
    bool synchronized = false;
    std::vector<size_t> targets;
    for (CVeyValue* value : values)
    {
        const uint8_t* p = value->GetBytes();
        if (!p)
            continue;
        bool found = false;
        ptrdiff_t offset = 0;
        targets.clear();
        for (size_t i = 0; i < linkedCount; ++i)
        {
            if (!(mask & (1u << i)))
                continue;
            const CLinked& linked = m_structs[i];
            if (p >= linked.first && p < linked.end)
            {
                found = true;
                offset = p - linked.first;
            }
            else
                targets.push_back(i);
        }
        if (!found || targets.empty())
            continue;
        synchronized = true;
        const size_t size = static_cast<size_t>(value->GetSize());
        for (size_t i : targets)
        {
            std::vector<CVeyValue>* targetValues = m_structs[i].linked->GetValues();
            if (!targetValues)
                continue;
            const uint8_t* at = m_structs[i].first + offset;
            for (CVeyValue& target : *targetValues)
            {
                if (target.GetBytes() != at)
                    continue;
                // Only a value of the same size takes the bytes: structs of another layout must
                // not be written past their values.
                if (static_cast<size_t>(target.GetSize()) == size && &target != value)
                {
                    std::memmove(target.GetBytes(), p, size);
                    CVeyBufferManager::GetInstance().MarkChanged(&target);
                }
                break;
            }
        }
    }
    return synchronized;
}

// ---- CVeyBufferAccessor ----

void CVeyBufferAccessor::Bind(CVeyBufferManager* bufferManager)
{
    m_bufferManager = bufferManager;
    m_baseStruct = nullptr;
    BindPaths();
}

bool CVeyBufferAccessor::FindStruct(const std::string& path, CVeyStruct*& found) const
{
    if (m_baseStruct)
        return m_baseStruct->FindStruct(path, found);
    return m_bufferManager && m_bufferManager->FindStruct(path, found);
}

bool CVeyBufferAccessor::FindValue(const std::string& path, CVeyValue*& found) const
{
    if (m_baseStruct)
        return m_baseStruct->FindValue(path, found);
    return m_bufferManager && m_bufferManager->FindValue(path, found);
}
