#pragma once
// The combo controls: a value shown as text (a string table's element, the number plus an offset,
// or the element's division path) and a popup menu of the selectable values. "combo" draws its own
// text (CVeyPopControl); "comboA" uses a text operator (CVeyPopControlX).
#include "ui/controls/CVeyPopControl.h"
#include "ui/menus/CVeyPopupMenuBuilder.h"

#include <cstdint>
#include <memory>
#include <string>

class CVeyStringTable;

// What both combos share: the division attributes, the text of a selectable value, and the menu.
//
// A division string table lists, in order, title entries (any first character, then the title of
// a sub-menu; consecutive titles nest) and count entries (a leading decimal number: how many
// string-table elements go into the sub-menu the titles before it opened). After a count entry the
// next title starts at the top level again.
class CVeyComboDivisions
{
public:
    using IPrinter = CVeyPopupMenuBuilder<int32_t>::IItemCreator::IPrinter;

    // Takes "divisionItemOffset", "divisionStringTableRef" and "delimiter" out of the list; false
    // after `badOffset` or `missingTable` at a bad value.
    bool LoadAttributes(CVeyElementDefinition::CAttributes& attributes, CVeyAttributeReader::FReport badOffset,
                        CVeyAttributeReader::FReport missingTable);

    // The text of selectable value `index`: the number plus `offset` without a table; otherwise the
    // table's element (index clamped into the table), behind its division path when a delimiter
    // and a division table are set.
    std::string Print(int32_t index, const CVeyStringTable* table, int32_t offset) const;
    // The division titles element `index` lies under, in table order.
    std::vector<std::string> GetTitles(int32_t index) const;
    // The sum of the count entries (0 without a division table).
    int64_t SumCounts() const;

    // The menu of `count` selectable values: from the division table when there is one (elements
    // at or beyond `count` greyed), otherwise flat, split into divisions of at most 32 and folded.
    std::unique_ptr<UL::CPopupMenuItem> BuildMenu(int32_t count, const CVeyStringTable* table, int32_t offset,
                                                  std::unique_ptr<IPrinter> printer) const;

    static bool IsCountEntry(const std::string& entry);
    // The leading decimal number of a count entry, kept within 32 bits.
    static int32_t CountOf(const std::string& entry);

    const std::string& GetDelimiter() const { return m_delimiter; }
    int32_t GetDivisionItemOffset() const { return m_divisionItemOffset; }
    const CVeyStringTable* GetDivisionTable() const { return m_divisionTable; }

private:
    std::string m_delimiter;
    int32_t m_divisionItemOffset = 0;
    const CVeyStringTable* m_divisionTable = nullptr;
};

class CVeyPopComboControl : public CVeyPopControl
{
public:
    class CPrinter : public CVeyComboDivisions::IPrinter
    {
    public:
        explicit CPrinter(const CVeyPopComboControl* control) : m_control(control) {}
        std::string Print(int32_t index) override;

    private:
        const CVeyPopComboControl* m_control;
    };

    CVeyPopComboControl() : CVeyPopControl(1) {}

    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void UpdateFromValue() override;
    const std::string& GetTypeName() const override;
    void OpenPopup() override;

    // The smaller of the value's count and the string table's.
    int32_t GetValueCount() const override;
    // Commits the index (kept within the selectable values) even when it is the current one.
    void SetValue(int32_t index) override;

    const CVeyComboDivisions& GetDivisions() const { return m_divisions; }

private:
    CVeyComboDivisions m_divisions;
};

class CVeyComboControl : public CVeyPopControlX
{
public:
    class CPrinter : public CVeyComboDivisions::IPrinter
    {
    public:
        explicit CPrinter(const CVeyComboControl* control) : m_control(control) {}
        std::string Print(int32_t index) override;

    private:
        const CVeyComboControl* m_control;
    };

    CVeyComboControl() : CVeyPopControlX(1) {}

    bool LoadAttributes(CAttributes& attributes) override;
    bool Create(CVeyView* parent) override;
    void UpdateFromValue() override;
    const std::string& GetTypeName() const override;
    void OpenPopup() override;

    int32_t GetValueCount() const override;
    void SetValue(int32_t index) override;

    const CVeyComboDivisions& GetDivisions() const { return m_divisions; }

private:
    CVeyComboDivisions m_divisions;
};
