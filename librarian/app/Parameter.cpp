#include "librarian/app/Parameter.h"
#include "librarian/app/PatchRecord.h"

#include <algorithm>
#include <cstring>

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

CParameter::CParameter() = default;
CParameter::~CParameter() = default;

// A packed copy shares the file's bytes; unpacked parts are copied.
CParameter::CParameter(const CParameter& other)
    : m_packed(other.m_packed),
      m_textSection(other.m_textSection),
      m_parts(other.m_parts ? std::make_unique<CParts>(*other.m_parts) : nullptr)
{
}

CParameter& CParameter::operator=(const CParameter& other)
{
    if (this != &other)
    {
        m_packed = other.m_packed;
        m_textSection = other.m_textSection;
        if (!other.m_parts)
            m_parts.reset();
        else if (m_parts)
            *m_parts = *other.m_parts;
        else
            m_parts = std::make_unique<CParts>(*other.m_parts);
    }
    return *this;
}

CParameter::CParts& CParameter::Unpacked() const
{
    if (!m_parts)
    {
        auto parts = std::make_unique<CParts>();
        if (m_packed.parts)
            PatchRecord::UnpackParts(m_packed.parts, m_packed.partsSize, *this, *parts);
        m_parts = std::move(parts);
        m_packed.parts = nullptr;
        m_packed.partsSize = 0;
        ReleaseUnusedFile();
    }
    return *m_parts;
}

void CParameter::ReleaseUnusedFile() const
{
    if (!m_packed.parts && !m_packed.texts)
        m_packed.file.Reset();
}

void CParameter::SetPackedRecord(const CSharedBytes& file, const uint8_t* body, size_t partsSize, size_t textsSize)
{
    m_parts.reset();
    m_textSection.clear();
    m_packed.file = file;
    m_packed.parts = body;
    m_packed.partsSize = partsSize;
    m_packed.texts = reinterpret_cast<const char*>(body + partsSize);
    m_packed.textsSize = textsSize;
}

const uint8_t* CParameter::GetPackedParts(size_t& size) const
{
    size = m_packed.partsSize;
    return m_packed.parts;
}

namespace
{
CParameter::FTemplateSource g_templateSource = nullptr;
}

void CParameter::SetInitialTemplateSource(FTemplateSource source) { g_templateSource = source; }

const CParameter* CParameter::GetInitialTemplate() { return g_templateSource ? g_templateSource() : nullptr; }

void CParameter::Initialize()
{
    if (const CParameter* first = GetInitialTemplate())
    {
        *this = *first;
        return;
    }
    ClearTexts();
    // Every block starts from zero: initialising a patch that held data must not keep its
    // parameters under a new name.
    CParts& parts = GetParts();
    parts.clear();
    parts.resize(GetPartCount());
    for (int part = 0; part < GetPartCount(); ++part)
    {
        parts[part].resize(GetBlockCount(part));
        for (CBlock& block : parts[part])
            block.assign(GetBlockSize(part), 0);
    }
}

size_t CParameter::GetSerializedSize() const
{
    size_t size = m_packed.partsSize;
    if (!m_packed.parts)
    {
        const CParts& parts = Unpacked();
        size = 4 * parts.size();
        for (const CPart& part : parts)
            for (const CBlock& block : part)
                size += 4 + block.size();
    }
    size_t textsSize = 0;
    GetTextSection(textsSize);
    return size + textsSize;
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
        return CompareTexts(GetText(column - 1), other.GetText(column - 1), tieResult);
    return CompareTexts(std::string(), std::string(), tieResult);
}

const char* CParameter::GetTextSection(size_t& size) const
{
    static const char kEmptyTexts[kTextCount] = {};
    if (m_packed.texts)
    {
        size = m_packed.textsSize;
        return m_packed.texts;
    }
    if (m_textSection.empty())
    {
        size = kTextCount;
        return kEmptyTexts;
    }
    size = m_textSection.size();
    return m_textSection.data();
}

std::string CParameter::GetText(int index) const
{
    if (index < 0 || index >= kTextCount)
        return std::string();
    size_t size = 0;
    const char* section = GetTextSection(size);
    const char* const end = section + size;
    // The section holds four texts, each ended by its 00 byte.
    for (int i = 0; i < index; ++i)
        section = static_cast<const char*>(std::memchr(section, 0, static_cast<size_t>(end - section))) + 1;
    return std::string(section);
}

void CParameter::SetText(int index, const std::string& text)
{
    if (index < 0 || index >= kTextCount)
        return;
    std::string texts[kTextCount];
    for (int i = 0; i < kTextCount; ++i)
        texts[i] = i == index ? text.substr(0, text.find('\0')) : GetText(i);
    ClearTexts();
    if (texts[0].empty() && texts[1].empty() && texts[2].empty() && texts[3].empty())
        return;
    for (const std::string& each : texts)
    {
        m_textSection += each;
        m_textSection += '\0';
    }
}

void CParameter::ClearTexts()
{
    m_textSection.clear();
    m_packed.texts = nullptr;
    m_packed.textsSize = 0;
    ReleaseUnusedFile();
}

bool CParameter::FitsLayout() const
{
    // Packed parts were checked against the layout when they were read.
    if (m_packed.parts)
        return true;
    const CParts& parts = Unpacked();
    if (parts.size() != static_cast<size_t>(GetPartCount()))
        return false;
    for (int part = 0; part < GetPartCount(); ++part)
    {
        if (parts[part].size() != static_cast<size_t>(GetBlockCount(part)))
            return false;
        for (const CBlock& block : parts[part])
            if (block.size() != static_cast<size_t>(GetBlockSize(part)))
                return false;
    }
    return true;
}
