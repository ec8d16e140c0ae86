#include "editor/instrument/CEffectTables.h"

#include "editor/instrument/CBufferAccessor.h"
#include "editor/instrument/CEntityBanks.h"
#include "model/CVeyResourceManager.h"
#include "model/CVeyTable.h"

#include <string>

namespace
{
struct CMfxType
{
    const char* name;
    int category;
};

const CMfxType kMfxTypes[] = {
    {"THROUGH", 0},
    {"EQUALIZER", 1}, {"SPECTRUM", 1}, {"ISOLATOR", 1}, {"LOW BOOST", 1}, {"SUPER FILTER", 1}, {"STEP FILTER", 1},
    {"ENHANCER", 1}, {"AUTO WAH", 1}, {"HUMANIZER", 1}, {"SPEAKER SIMULATOR", 1},
    {"PHASER", 2}, {"STEP PHASER", 2}, {"MULTI STAGE PHASER", 2}, {"INFINITE PHASER", 2}, {"RING MODULATOR", 2},
    {"STEP RING MODULATOR", 2}, {"TREMOLO", 2}, {"AUTO PAN", 2}, {"STEP PAN", 2}, {"SLICER", 2}, {"ROTARY", 2},
    {"QM ROTARY", 2},
    {"CHORUS", 3}, {"FLANGER", 3}, {"STEP FLANGER", 3}, {"HEXA-CHORUS", 3}, {"TREMOLO CHORUS", 3}, {"SPACE-D", 3},
    {"3D CHORUS", 3}, {"3D FLANGER", 3}, {"3D STEP FLANGER", 3}, {"2BAND CHORUS", 3}, {"2BAND FLANGER", 3},
    {"2BAND STEP FLANGER", 3},
    {"OVERDRIVE", 4}, {"DISTORTION", 4}, {"ZR OVERDRIVE", 4}, {"ZR DISTORTION", 4}, {"GUITAR AMP SIMULATOR", 4},
    {"COMPRESSOR", 4}, {"LIMITER", 4}, {"GATE", 4},
    {"DELAY", 5}, {"LONG DELAY", 5}, {"SERIAL DELAY", 5}, {"MODULATION DELAY", 5}, {"3TAP PAN DELAY", 5},
    {"4TAP PAN DELAY", 5}, {"MULTI TAP DELAY", 5}, {"REVERSE DELAY", 5}, {"SHUFFLE DELAY", 5}, {"3D DELAY", 5},
    {"ANALOG DELAY", 5}, {"ANALOG LONG DELAY", 5}, {"TAPE ECHO", 5},
    {"LOFI NOISE", 6}, {"LOFI COMPRESS", 6}, {"LOFI RADIO", 6}, {"TELEPHONE", 6}, {"PHONOGRAPH", 6},
    {"PITCH SHIFTER", 7}, {"2VOICE PITCH SHIFTER", 7}, {"STEP PITCH SHIFTER", 7},
    {"REVERB", 8}, {"GATED REVERB", 8},
    {"OVERDRIVE->CHORUS", 9}, {"OVERDRIVE->FLANGER", 9}, {"OVERDRIVE->DELAY", 9}, {"DISTORTION->CHORUS", 9},
    {"DISTORTION->FLANGER", 9}, {"DISTORTION->DELAY", 9}, {"ENHANCER->CHORUS", 9}, {"ENHANCER->FLANGER", 9},
    {"ENHANCER->DELAY", 9}, {"CHORUS->DELAY", 9}, {"FLANGER->DELAY", 9}, {"CHORUS->FLANGER", 9},
    {"SYMPATHETIC RESONANCE", 10},
};
static_assert(sizeof kMfxTypes / sizeof kMfxTypes[0] == 79, "one name per MFX type");

// The instrument has one internal wave table.
constexpr int kInternalWaveTables = 1;
}

bool SetupMfxTypeTable(CVeyEntityManager::IInserter& inserter)
{
    size_t used = 0;
    for (const CMfxType& type : kMfxTypes)
    {
        if (inserter.IsFull())
            break;
        inserter.Append(CCategoryInformation(type.name, type.category));
        ++used;
    }
    return inserter.IsFull() && used == sizeof kMfxTypes / sizeof kMfxTypes[0];
}

bool SetupInternalWaveNameTables(CBufferAccessor& accessor)
{
    CVeyEntityManager& entities = accessor.GetEntityManager();
    std::vector<int32_t>& counts = accessor.GetWaveCountList(1);
    for (size_t i = 0; i < counts.size(); ++i)
        entities.RemoveBank(CVeyEntityId(1, 1, static_cast<int32_t>(i), 0));
    counts.clear();
    CVeyResources<CVeyStringTable>& tables = CVeyResourceManager::GetInstance().GetStringTables();
    for (int t = 0; t < kInternalWaveTables; ++t)
    {
        const CVeyStringTable* table = tables.Find(std::string("internalWaveNameTable") + static_cast<char>('A' + t));
        if (!table)
            return false;
        const int32_t n = table->GetCount();
        counts.push_back(n);
        entities.AddBank(MakeNameBank(CVeyEntityId(1, 1, t, 0), CVeyProgramId(81, 64 + t, 0), n + 1));
        std::unique_ptr<CVeyEntityManager::IInserter> inserter = entities.CreateInserter(CVeyEntityId(1, 1, t, 0), true);
        inserter->Append(CNameInformation("Off"));
        for (int32_t i = 0; i < n && !inserter->IsFull(); ++i)
            inserter->Append(CNameInformation(*table->GetAt(i)));
    }
    return true;
}
