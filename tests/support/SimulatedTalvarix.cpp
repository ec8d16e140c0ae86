#include "tests/support/SimulatedTalvarix.h"

#include "generated/TalvarixMemoryMap.h"

#include <cstring>

namespace
{
constexpr uint32_t kWriteRequestSize = (0x5A << 21) | (0x00 << 14) | (0x7F << 7) | 0x7F;   // 5A 00 7F 7F
constexpr uint32_t kWriteCompleteSize = 7;

bool IsPatchLeaf(const TalvarixMemory::SLeaf& leaf)
{
    return std::strncmp(leaf.path, "fm.pat.", 7) == 0;
}

std::vector<BYTE> Defaults(const TalvarixMemory::SLeaf& leaf)
{
    const uint8_t* first = TalvarixMemory::kDefaults + leaf.firstDefault;
    return std::vector<BYTE>(first, first + leaf.size);
}

std::vector<CSimulatedInstrument::CRange> MemoryMap()
{
    std::vector<CSimulatedInstrument::CRange> ranges;
    for (const TalvarixMemory::SLeaf& leaf : TalvarixMemory::kLeaves)
    {
        ranges.push_back({leaf.address, leaf.size, 0, Defaults(leaf)});
        if (!IsPatchLeaf(leaf))
            continue;
        for (int slot = 0; slot < CSimulatedTalvarix::kUserPatchCount; ++slot)
            ranges.push_back({CSimulatedTalvarix::UserPatchAddress(slot) + (leaf.address - CSimulatedTalvarix::kTemporaryPatch),
                              leaf.size, 0, Defaults(leaf)});
    }
    // The write handshake's values; the instrument only answers there.
    ranges.push_back({TalvarixMemory::kWriteRequest, TalvarixMemory::kWriteComplete + kWriteCompleteSize - TalvarixMemory::kWriteRequest});
    return ranges;
}

bool Touches(uint32_t address, uint32_t size, uint32_t at)
{
    return address <= at && at - address < size;
}
}

CSimulatedTalvarix::CSimulatedTalvarix(BYTE deviceId) : CSimulatedInstrument(MemoryMap(), deviceId) {}

std::vector<std::pair<uint32_t, uint32_t>> CSimulatedTalvarix::PatchLeaves()
{
    std::vector<std::pair<uint32_t, uint32_t>> leaves;
    for (const TalvarixMemory::SLeaf& leaf : TalvarixMemory::kLeaves)
        if (IsPatchLeaf(leaf))
            leaves.emplace_back(leaf.address - kTemporaryPatch, leaf.size);
    return leaves;
}

int CSimulatedTalvarix::CurrentSlotLocked() const
{
    std::vector<BYTE> msb, lsb, program;
    if (!ReadLocked(TalvarixMemory::kBankSelectMsb, 1, msb) || !ReadLocked(TalvarixMemory::kBankSelectLsb, 1, lsb) ||
        !ReadLocked(TalvarixMemory::kProgramNumber, 1, program))
        return -1;
    if (msb[0] != kUserBankMsb || lsb[0] > 1)
        return -1;
    return lsb[0] * 128 + program[0];
}

bool CSimulatedTalvarix::IsRegularTone() const { return GetCurrentSlot() >= 0; }

int CSimulatedTalvarix::GetCurrentSlot() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return CurrentSlotLocked();
}

int CSimulatedTalvarix::GetWriteCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_writeCount;
}

void CSimulatedTalvarix::OnDataSetStored(uint32_t address, uint32_t size)
{
    const bool programChange = Touches(address, size, TalvarixMemory::kBankSelectMsb) ||
                               Touches(address, size, TalvarixMemory::kBankSelectLsb) ||
                               Touches(address, size, TalvarixMemory::kProgramNumber);
    if (!programChange)
        return;
    const int slot = CurrentSlotLocked();
    if (slot < 0)
        return;
    // The selected user patch becomes the patch being played and edited.
    for (const auto& [offset, leafSize] : PatchLeaves())
    {
        std::vector<BYTE> bytes;
        if (ReadLocked(UserPatchAddress(slot) + offset, leafSize, bytes))
            WriteLocked(kTemporaryPatch + offset, bytes);
    }
}

bool CSimulatedTalvarix::AnswerRequest(uint32_t address, uint32_t size, std::vector<std::vector<BYTE>>& replies)
{
    if (address != TalvarixMemory::kWriteRequest || size != kWriteRequestSize)
        return false;
    ++m_writeCount;
    replies.push_back(MakeDataSet(TalvarixMemory::kWriteStart, {0x00}, GetDeviceId()));
    replies.push_back(MakeDataSet(TalvarixMemory::kWriteComplete, {0x00, 0x00, 0x00, 0x5A, 0x00, 0x7F, 0x00}, GetDeviceId()));
    return true;
}
