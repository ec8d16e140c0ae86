#pragma once
// Keeps one parameter block per effect type for each effect unit: when the user changes a unit's
// type, the parameters of the old type are set aside and those last used with the new type come
// back, instead of the instrument reinterpreting the old bytes.
#include "model/IVeyBufferHandler.h"

#include <cstdint>
#include <map>
#include <vector>

class CVeyStringTable;
class CVeyStruct;
class CVeyValue;

class CVeyEffectSwapper : public IVeyBufferHandler
{
public:
    // The value path table's element that closes the paths of one effect type.
    static constexpr const char* kDelimiter = "DELIMITER";

    // Registers a unit: its type value, the struct that holds its parameters, its slot number and
    // the first byte of the parameter block (the block runs to the end of the struct's data).
    // False for a missing value or struct, a struct without data or a first byte past its end.
    bool AddEffect(CVeyValue* typeValue, CVeyStruct* parameterStruct, int32_t slot, int32_t firstByte);

    // Builds the unit's blocks from a table of value paths of the parameter struct, grouped by
    // effect type in type order, each group closed by "DELIMITER": block t holds the parameter
    // bytes after the defaults of groups 0..t were applied in turn. Then the block of the unit's
    // current type is written into the struct. The unit is found by `parameterStruct` when one is
    // given, else by `slot`. Paths that name no value of the struct are skipped.
    bool SetValuePaths(int32_t slot, const CVeyStringTable* table, CVeyStruct* parameterStruct = nullptr);

    // Number of blocks kept for a slot.
    size_t GetBlockCount(int32_t slot) const;

    // A single change of a registered type value is taken over: the old type's parameters are
    // kept, the new type's come back, the type value is set and listed and the struct sends itself.
    bool OnSetValues(const CVeyValueNumbers& changes) override;

private:
    struct CUnit
    {
        CVeyValue* typeValue;
        CVeyStruct* parameterStruct;
        int32_t slot;
        size_t first;
        size_t end;
    };
    using CBlock = std::vector<uint8_t>;

    CUnit* FindUnit(int32_t slot, const CVeyStruct* parameterStruct);
    // The unit's parameter bytes, or null when they no longer lie inside the struct's data.
    uint8_t* GetRange(const CUnit& unit) const;
    CBlock* FindBlock(const CUnit& unit, int32_t type);

    std::map<CVeyValue*, CUnit> m_units;
    std::map<int32_t, std::vector<CBlock>> m_blocks;
};
