#include "editor/entities/InstrumentEntities.h"

#include "editor/entities/EntityBanks.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"

#include <algorithm>

const std::vector<SMfxType>& GetMfxTypeTable()
{
    static const std::vector<SMfxType> table = {
        {"THROUGH", 0},
        {"EQUALIZER", 1}, {"SPECTRUM", 1}, {"ISOLATOR", 1}, {"LOW BOOST", 1}, {"SUPER FILTER", 1},
        {"STEP FILTER", 1}, {"ENHANCER", 1}, {"AUTO WAH", 1}, {"HUMANIZER", 1}, {"SPEAKER SIMULATOR", 1},
        {"PHASER", 2}, {"STEP PHASER", 2}, {"MULTI STAGE PHASER", 2}, {"INFINITE PHASER", 2},
        {"RING MODULATOR", 2}, {"STEP RING MODULATOR", 2}, {"TREMOLO", 2}, {"AUTO PAN", 2}, {"STEP PAN", 2},
        {"SLICER", 2}, {"ROTARY", 2}, {"QM ROTARY", 2},
        {"CHORUS", 3}, {"FLANGER", 3}, {"STEP FLANGER", 3}, {"HEXA-CHORUS", 3}, {"TREMOLO CHORUS", 3},
        {"SPACE-D", 3}, {"3D CHORUS", 3}, {"3D FLANGER", 3}, {"3D STEP FLANGER", 3}, {"2BAND CHORUS", 3},
        {"2BAND FLANGER", 3}, {"2BAND STEP FLANGER", 3},
        {"OVERDRIVE", 4}, {"DISTORTION", 4}, {"ZR OVERDRIVE", 4}, {"ZR DISTORTION", 4},
        {"GUITAR AMP SIMULATOR", 4}, {"COMPRESSOR", 4}, {"LIMITER", 4}, {"GATE", 4},
        {"DELAY", 5}, {"LONG DELAY", 5}, {"SERIAL DELAY", 5}, {"MODULATION DELAY", 5}, {"3TAP PAN DELAY", 5},
        {"4TAP PAN DELAY", 5}, {"MULTI TAP DELAY", 5}, {"REVERSE DELAY", 5}, {"SHUFFLE DELAY", 5},
        {"3D DELAY", 5}, {"ANALOG DELAY", 5}, {"ANALOG LONG DELAY", 5}, {"TAPE ECHO", 5},
        {"LOFI NOISE", 6}, {"LOFI COMPRESS", 6}, {"LOFI RADIO", 6}, {"TELEPHONE", 6}, {"PHONOGRAPH", 6},
        {"PITCH SHIFTER", 7}, {"2VOICE PITCH SHIFTER", 7}, {"STEP PITCH SHIFTER", 7},
        {"REVERB", 8}, {"GATED REVERB", 8},
        {"OVERDRIVE->CHORUS", 9}, {"OVERDRIVE->FLANGER", 9}, {"OVERDRIVE->DELAY", 9},
        {"DISTORTION->CHORUS", 9}, {"DISTORTION->FLANGER", 9}, {"DISTORTION->DELAY", 9},
        {"ENHANCER->CHORUS", 9}, {"ENHANCER->FLANGER", 9}, {"ENHANCER->DELAY", 9}, {"CHORUS->DELAY", 9},
        {"FLANGER->DELAY", 9}, {"CHORUS->FLANGER", 9},
        {"SYMPATHETIC RESONANCE", 10},
    };
    return table;
}

CWaveGroupKey CWaveGroupKey::FromIndex(int32_t index)
{
    return index == 0 ? CWaveGroupKey(kInternalType, kInternalId, 0) : CWaveGroupKey(-1, 0, index);
}

CVeyEntityId CWaveGroupKey::ToEntityId(int32_t waveNumber) const
{
    return IsInternal() ? CVeyEntityId(kWaveEntity, 1, 0, waveNumber) : CVeyEntityId(kWaveEntity, 1, 0, 0);
}

bool SetupMfxTypeTable(CVeyEntityManager::IInserter& inserter)
{
    const auto& table = GetMfxTypeTable();
    size_t used = 0;
    while (!inserter.IsFull() && used < table.size())
    {
        inserter.Append(CCategoryInformation(table[used].name, table[used].category));
        ++used;
    }
    return inserter.IsFull() && used == table.size();
}

CInstrumentEntities& CInstrumentEntities::GetInstance()
{
    static CInstrumentEntities instance;
    return instance;
}

void CInstrumentEntities::SetUp()
{
    m_manager.Clear();
    for (auto& counts : m_waveCounts)
        counts.clear();
    const int mfxCount = int(GetMfxTypeTable().size());
    m_manager.AddBank(std::make_unique<CCategoryBank>(CVeyEntityId(kMfxTypeEntity, 1, 0, 0), CVeyProgramId(0, 0, 0), mfxCount));
    for (int bank = 0; bank < 8; ++bank)
    {
        const CVeyEntityId base(kUserPatchEntity, 0, bank, 0);
        m_manager.AddBank(std::make_unique<CCategoryBank>(base, CVeyProgramId(87, bank / 4, (bank % 4) * 32), 32));
        auto inserter = m_manager.CreateInserter(base, true);
        while (!inserter->IsFull())
            if (!inserter->Append(CCategoryInformation("", -1)))
                break;
    }
    SetupInternalWaveNameTables();
    {
        auto inserter = m_manager.CreateInserter(CVeyEntityId(kMfxTypeEntity, -2, -2, -2), true);
        SetupMfxTypeTable(*inserter);
    }
    m_setUp = true;
    m_waveTable = CVeyResourceManager::GetInstance().GetStringTables().Find("internalWaveNameTableA");
}

void CInstrumentEntities::EnsureSetUp()
{
    if (!m_setUp || m_waveTable != CVeyResourceManager::GetInstance().GetStringTables().Find("internalWaveNameTableA"))
        SetUp();
}

bool CInstrumentEntities::SetupInternalWaveNameTables()
{
    std::vector<int>& counts = m_waveCounts[1];
    for (size_t table = 0; table < counts.size(); ++table)
        m_manager.RemoveBank(CVeyEntityId(kWaveEntity, 1, int32_t(table), 0));
    counts.clear();
    // The instrument has one internal wave table.
    for (int table = 0; table < 1; ++table)
    {
        const std::string name = std::string("internalWaveNameTable") + char('A' + table);
        const CVeyStringTable* names = CVeyResourceManager::GetInstance().GetStringTables().Find(name);
        if (!names)
            return false;
        const int count = names->GetCount();
        counts.push_back(count);
        const CVeyEntityId base(kWaveEntity, 1, table, 0);
        m_manager.AddBank(std::make_unique<CNameBank>(base, CVeyProgramId(81, 64 + table, 0), count + 1));
        auto inserter = m_manager.CreateInserter(base, true);
        inserter->Append(CNameInformation("Off"));
        for (int i = 0; !inserter->IsFull() && i < count; ++i)
            inserter->Append(CNameInformation(*names->GetAt(i)));
    }
    return true;
}

const std::vector<int>& CInstrumentEntities::GetWaveCounts(int32_t groupType) const
{
    return m_waveCounts[std::clamp(groupType, 0, 2)];
}
