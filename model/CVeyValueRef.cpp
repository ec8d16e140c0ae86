#include "model/CVeyValueRef.h"

#include "model/CVeyBufferManager.h"
#include "model/CVeyExpression.h"
#include "toolkit/gt/TraceTextOut.h"

#include <algorithm>

bool CVeyValueRef::Resolve()
{
    return Resolve(0);
}

bool CVeyValueRef::Resolve(int depth)
{
    std::string path = m_name;
    m_readValues.clear();
    m_value = nullptr;
    size_t position = 0;
    while (true)
    {
        const size_t open = path.find('[', position);
        if (open == std::string::npos || open + 1 >= path.size())
            break;
        size_t close = std::string::npos;
        int nesting = 0;
        for (size_t i = open; i < path.size(); ++i)
        {
            if (path[i] == '[')
                ++nesting;
            else if (path[i] == ']' && --nesting == 0)
            {
                close = i;
                break;
            }
        }
        if (close == std::string::npos)
            break;
        CVeyValueRefs read;
        int32_t number = 0;
        if (!CVeyExpression::Evaluate(path.substr(open + 1, close - open - 1), read, number, true, depth))
            return false;
        for (const CVeyValueRef& ref : read)
        {
            m_readValues.push_back(ref.m_value);
            m_readValues.insert(m_readValues.end(), ref.m_readValues.begin(), ref.m_readValues.end());
        }
        const std::string text = std::to_string(number);
        path.replace(open + 1, close - open - 1, text);
        position = open + 1 + text.size() + 1;
    }
    CVeyValue* found = nullptr;
    if (!CVeyBufferManager::GetInstance().FindValue(path, found))
        return false;
    m_value = found;
    return true;
}

bool CVeyValueRef::DependsOnAny(const std::vector<CVeyValue*>& changes) const
{
    for (CVeyValue* read : m_readValues)
        if (std::find(changes.begin(), changes.end(), read) != changes.end())
            return true;
    return false;
}

CVeyValueRef* FindValueRefByName(CVeyValueRefs& refs, const std::string& name)
{
    for (CVeyValueRef& ref : refs)
        if (ref.GetName() == name)
            return &ref;
    return nullptr;
}

bool ResolveValueRefs(CVeyValueRefs& refs)
{
    for (CVeyValueRef& ref : refs)
        if (!ref.Resolve())
        {
            GetTraceTextOut().Printf("Unable to convert value reference name %s to value.\n", ref.GetName().c_str());
            return false;
        }
    return true;
}
