#pragma once
// The things the instrument holds by number and the editor shows by name: its user patches, its
// multi-effect types and its internal waves, kept as banks of one entity manager. The effect type
// names are fixed; the wave names come from the script's "internalWaveNameTableA"; the patch names
// arrive from the instrument and are written into the placeholder records in place.
#include "model/CVeyEntityManager.h"

#include <cstdint>
#include <string>
#include <vector>

// Entity kinds (the first key field).
enum : int32_t
{
    kUserPatchEntity = 0,
    kWaveEntity = 1,
    kMfxTypeEntity = 2,
};

struct SMfxType
{
    const char* name;
    int category;
};
// The 79 effect types in number order.
const std::vector<SMfxType>& GetMfxTypeTable();

// A wave group: group type and group ID; only the internal group (1, 23) has named waves.
class CWaveGroupKey
{
public:
    static constexpr int32_t kInternalType = 1;
    static constexpr int32_t kInternalId = 23;

    CWaveGroupKey(int32_t groupType, int32_t groupId, int32_t third = 0) : m_type(groupType), m_id(groupId), m_third(third) {}
    // Index 0 is the internal group; any other index names no group.
    static CWaveGroupKey FromIndex(int32_t index);
    // The wave entity of a wave number: the internal group's own, entry 0 ("Off") for any other.
    CVeyEntityId ToEntityId(int32_t waveNumber) const;
    bool IsInternal() const { return m_type == kInternalType && m_id == kInternalId; }

    int32_t GetType() const { return m_type; }
    int32_t GetId() const { return m_id; }
    int32_t GetThird() const { return m_third; }

private:
    int32_t m_type;
    int32_t m_id;
    int32_t m_third;
};

// Fills the effect type bank through an inserter made over it; true when exactly the 79 types fit.
bool SetupMfxTypeTable(CVeyEntityManager::IInserter& inserter);

class CInstrumentEntities
{
public:
    static CInstrumentEntities& GetInstance();

    CVeyEntityManager& GetManager() { return m_manager; }
    // Empties the manager and makes the banks again: effect types, the eight user patch banks of
    // 32 placeholder records, and the internal waves of the current script.
    void SetUp();
    // SetUp the first time a control needs the names, and again when another script was read
    // since (its wave name table is another).
    void EnsureSetUp();
    // Replaces the wave banks from the script's wave name tables; false when the first is missing
    // (no wave bank then).
    bool SetupInternalWaveNameTables();
    // Wave counts per table of a group type (clamped to 0 .. 2).
    const std::vector<int>& GetWaveCounts(int32_t groupType) const;

private:
    CInstrumentEntities() = default;

    CVeyEntityManager m_manager;
    std::vector<int> m_waveCounts[3];
    bool m_setUp = false;
    const void* m_waveTable = nullptr;
};
