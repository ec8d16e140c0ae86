#include "librarian/app/ParameterArray.h"

CParameterArray::~CParameterArray() = default;

CParameterArray::CParameterArray(const CParameterArray& other)
{
    m_elements.reserve(other.m_elements.size());
    for (const std::unique_ptr<CParameter>& element : other.m_elements)
        m_elements.push_back(element->Clone());
}

CParameterArray& CParameterArray::operator=(const CParameterArray& other)
{
    if (this == &other)
        return *this;
    std::vector<std::unique_ptr<CParameter>> copies;
    copies.reserve(other.m_elements.size());
    for (const std::unique_ptr<CParameter>& element : other.m_elements)
        copies.push_back(element->Clone());
    m_elements.swap(copies);
    return *this;
}

bool CParameterArray::Add(std::unique_ptr<CParameter> element)
{
    return InsertAt(m_elements.size(), std::move(element));
}

bool CParameterArray::InsertAt(size_t index, std::unique_ptr<CParameter> element)
{
    if (!element || !CanHold(*element))
        return false;
    if (index > m_elements.size())
        index = m_elements.size();
    m_elements.insert(m_elements.begin() + static_cast<std::ptrdiff_t>(index), std::move(element));
    return true;
}

CParameter& CParameterArray::AppendNew()
{
    m_elements.push_back(CreateElement());
    return *m_elements.back();
}

void CParameterArray::RemoveAt(size_t index)
{
    if (index < m_elements.size())
        m_elements.erase(m_elements.begin() + static_cast<std::ptrdiff_t>(index));
}

std::unique_ptr<CParameter> CParameterArray::Detach(size_t index)
{
    if (index >= m_elements.size())
        return nullptr;
    std::unique_ptr<CParameter> element = std::move(m_elements[index]);
    m_elements.erase(m_elements.begin() + static_cast<std::ptrdiff_t>(index));
    return element;
}

void CParameterArray::Resize(size_t n)
{
    if (n <= m_elements.size())
    {
        m_elements.resize(n);
        return;
    }
    m_elements.reserve(n);
    while (m_elements.size() < n)
    {
        std::unique_ptr<CParameter> element = CreateElement();
        element->Initialize();
        m_elements.push_back(std::move(element));
    }
}
