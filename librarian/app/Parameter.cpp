#include "librarian/app/Parameter.h"
#include "librarian/app/InitialFileDocument.h"
#include "librarian/app/Patch.h"

#include <algorithm>

namespace
{
std::string ToUpperAscii(const std::string& text)
{
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// Byte order as unsigned bytes, like strcmp: -1, 0 or 1.
int CompareBytes(const std::string& a, const std::string& b)
{
    const int result = a.compare(b);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}
}

// Defined here, not defaulted in the class: a new element is then not zeroed whole before it is
// made, which would cost the size of its inline blocks for every patch of a file.
CParameter::CParameter() = default;
CParameter::~CParameter() = default;

CParameter& CParameter::operator=(const CParameter& other)
{
    if (this != &other)
    {
        for (int i = 0; i < kTextCount; ++i)
            m_texts[i] = other.m_texts[i];
        m_parts = other.m_parts;
    }
    return *this;
}

void CParameter::Initialize()
{
    const CInitialFileDocument& initialFile = CInitialFileDocument::GetInstance();
    if (const CParameter* first = initialFile.GetFirstPatch())
    {
        *this = *first;
        return;
    }
    ClearTexts();
    // Every block starts from zero: initialising a patch that held data must not keep its
    // parameters under a new name.
    m_parts.clear();
    m_parts.resize(GetPartCount());
    for (int part = 0; part < GetPartCount(); ++part)
    {
        m_parts[part].resize(GetBlockCount(part));
        for (CBlock& block : m_parts[part])
            block.assign(GetBlockSize(part), 0);
    }
}

size_t CParameter::GetSerializedSize() const
{
    size_t size = 4 * m_parts.size();
    for (const CPart& part : m_parts)
        for (const CBlock& block : part)
            size += 4 + block.size();
    for (const std::string& text : m_texts)
        size += text.size();
    return size + kTextCount;
}

int CParameter::PositionOrder(uint32_t thisPosition, uint32_t otherPosition)
{
    return thisPosition < otherPosition ? -1 : (thisPosition > otherPosition ? 1 : 0);
}

int CParameter::CompareTexts(const std::string& mine, const std::string& other, int tieResult)
{
    if (mine == other)
        return tieResult;
    const int upperOrder = CompareBytes(ToUpperAscii(mine), ToUpperAscii(other));
    if (upperOrder != 0)
        return upperOrder;
    return CompareBytes(mine, other) < 0 ? -1 : 1;
}

int CParameter::Compare(int column, const CParameter& other, uint32_t thisPosition, uint32_t otherPosition,
                        bool descending) const
{
    const int positionOrder = PositionOrder(thisPosition, otherPosition);
    if (column == 0)
        return positionOrder;
    const int tieResult = descending ? -positionOrder : positionOrder;
    if (column >= 1 && column <= kTextCount)
        return CompareTexts(m_texts[column - 1], other.m_texts[column - 1], tieResult);
    return CompareTexts(std::string(), std::string(), tieResult);
}

const std::string& CParameter::GetText(int index) const
{
    static const std::string empty;
    return index >= 0 && index < kTextCount ? m_texts[index] : empty;
}

void CParameter::SetText(int index, const std::string& text)
{
    if (index >= 0 && index < kTextCount)
        m_texts[index].assign(text, 0, text.find('\0'));
}

void CParameter::ClearTexts()
{
    for (std::string& text : m_texts)
        text.clear();
}

bool CParameter::FitsLayout() const
{
    if (m_parts.size() != static_cast<size_t>(GetPartCount()))
        return false;
    for (int part = 0; part < GetPartCount(); ++part)
    {
        if (m_parts[part].size() != static_cast<size_t>(GetBlockCount(part)))
            return false;
        for (const CBlock& block : m_parts[part])
            if (block.size() != static_cast<size_t>(GetBlockSize(part)))
                return false;
    }
    return true;
}
