#pragma once
// Creators and printers for menus over numbered values: one leaf per value, and divisions that
// split a long list into sub-menus of at most a given size.
#include "ui/menus/CVeyPopupMenuBuilder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CVeyStringTable;

class CVeyStringTablePopupMenuUtility
{
public:
    using CBuilder = CVeyPopupMenuBuilder<int32_t>;
    using IItemCreator = CBuilder::IItemCreator;
    using IPrinter = IItemCreator::IPrinter;

    // The table's element at the value; the number itself when the table has no such element,
    // so that no item comes out blank (a blank item would be a separator).
    class CElementItemPrinter : public IPrinter
    {
    public:
        explicit CElementItemPrinter(const CVeyStringTable* table) : m_table(table) {}
        std::string Print(int32_t value) override;

    private:
        const CVeyStringTable* m_table;
    };

    // Division titles: the table's element at the value, or the number (offset + value)
    // right-aligned in `width` characters; both followed by "...".
    class CDivisionItemPrinter : public IPrinter
    {
    public:
        explicit CDivisionItemPrinter(const CVeyStringTable* table) : m_table(table) {}
        CDivisionItemPrinter(int32_t width, int32_t offset) : m_width(width), m_offset(offset) {}
        std::string Print(int32_t value) override;

    private:
        const CVeyStringTable* m_table = nullptr;
        int32_t m_width = 0;
        int32_t m_offset = 0;
    };

    class CElementItemCreator : public IItemCreator
    {
    public:
        explicit CElementItemCreator(std::unique_ptr<IPrinter> printer) : m_printer(std::move(printer)) {}
        explicit CElementItemCreator(const CVeyStringTable* table);
        CCreation Create(int32_t value) override;

    private:
        std::unique_ptr<IPrinter> m_printer;
    };

    // Opens a division at each division start of `count` values split into divisions of at most
    // `maxSize` (see GetDivisionSize).
    class CDivisionItemCreator : public IItemCreator
    {
    public:
        CDivisionItemCreator(int32_t count, int32_t maxSize, std::unique_ptr<IPrinter> printer);
        CDivisionItemCreator(int32_t count, int32_t maxSize, const CVeyStringTable* table);
        CCreation Create(int32_t value) override;
        const std::vector<int32_t>& GetDivisionStarts() const { return m_starts; }

    private:
        void MakeStarts(int32_t count, int32_t maxSize);

        std::unique_ptr<IPrinter> m_printer;
        std::vector<int32_t> m_starts;
    };

    // `maxSize` when it divides `count`; otherwise the count spread evenly over count / maxSize + 1
    // divisions, rounded up. A size below 1 counts as 1.
    static int32_t GetDivisionSize(int32_t count, int32_t maxSize);
    // Decimal digits of the number (at least 1).
    static int32_t CountDigits(int64_t number);
};
