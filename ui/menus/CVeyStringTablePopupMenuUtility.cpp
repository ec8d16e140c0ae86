#include "ui/menus/CVeyStringTablePopupMenuUtility.h"

#include "model/CVeyTable.h"
#include "toolkit/gt/Format.h"

#include <algorithm>

std::string CVeyStringTablePopupMenuUtility::CElementItemPrinter::Print(int32_t value)
{
    if (const std::string* element = m_table ? m_table->GetAt(value) : nullptr)
        return *element;
    std::string text;
    return GT::Format(text, "%d", value);
}

std::string CVeyStringTablePopupMenuUtility::CDivisionItemPrinter::Print(int32_t value)
{
    std::string text;
    if (m_table)
    {
        const std::string* element = m_table->GetAt(value);
        return (element ? *element : GT::Format(text, "%d", value)) + "...";
    }
    const int32_t width = std::max(0, std::min(m_width, 32));
    const int64_t number = int64_t{m_offset} + value;
    return GT::Format(text, "%*lld...", static_cast<int>(width), static_cast<long long>(number));
}

CVeyStringTablePopupMenuUtility::CElementItemCreator::CElementItemCreator(const CVeyStringTable* table)
    : m_printer(std::make_unique<CElementItemPrinter>(table))
{
}

CVeyStringTablePopupMenuUtility::IItemCreator::CCreation
CVeyStringTablePopupMenuUtility::CElementItemCreator::Create(int32_t value)
{
    CCreation creation;
    creation.created = std::make_unique<UL::CPopupMenuItem>(m_printer->Print(value));
    return creation;
}

CVeyStringTablePopupMenuUtility::CDivisionItemCreator::CDivisionItemCreator(int32_t count, int32_t maxSize,
                                                                            std::unique_ptr<IPrinter> printer)
    : m_printer(std::move(printer))
{
    MakeStarts(count, maxSize);
}

CVeyStringTablePopupMenuUtility::CDivisionItemCreator::CDivisionItemCreator(int32_t count, int32_t maxSize,
                                                                            const CVeyStringTable* table)
    : m_printer(std::make_unique<CDivisionItemPrinter>(table))
{
    MakeStarts(count, maxSize);
}

void CVeyStringTablePopupMenuUtility::CDivisionItemCreator::MakeStarts(int32_t count, int32_t maxSize)
{
    const int64_t size = GetDivisionSize(count, maxSize);
    for (int64_t start = 0; start < count; start += size)
        m_starts.push_back(static_cast<int32_t>(start));
}

CVeyStringTablePopupMenuUtility::IItemCreator::CCreation
CVeyStringTablePopupMenuUtility::CDivisionItemCreator::Create(int32_t value)
{
    CCreation creation;
    if (std::binary_search(m_starts.begin(), m_starts.end(), value))
        creation.created = std::make_unique<UL::CPopupMenuItem>(m_printer->Print(value));
    return creation;
}

int32_t CVeyStringTablePopupMenuUtility::GetDivisionSize(int32_t count, int32_t maxSize)
{
    maxSize = std::max(1, maxSize);
    if (count <= 0 || count % maxSize == 0)
        return maxSize;
    const int32_t divisions = count / maxSize + 1;
    return (count + divisions - 1) / divisions;
}

int32_t CVeyStringTablePopupMenuUtility::CountDigits(int64_t number)
{
    int32_t digits = 1;
    for (number = number < 0 ? -number : number; number >= 10; number /= 10)
        ++digits;
    return digits;
}
