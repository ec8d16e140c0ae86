#pragma once
// The Talvarix as the editor sees it, for tests and the separate simulator program: its memory is
// the editor script's (the setup, the system, the temporary patch at 1F 00 00 00, every value
// starting at its initial value), with 256 user patches at 30 00 00 00 + i x 00 01 00 00 in the
// temporary patch's layout. A program change (bank select MSB, LSB, program number) to a user
// patch copies that patch into the temporary patch; a request to the write-request address with
// the size 5A 00 7F 7F runs the write handshake (write start, then write complete with 5A 00 7F
// at data bytes 3 to 5).
#include "tests/support/SimulatedInstrument.h"

class CSimulatedTalvarix : public CSimulatedInstrument
{
public:
    static constexpr int kUserPatchCount = 256;
    static constexpr uint32_t kTemporaryPatch = 0x1F << 21;
    static constexpr uint32_t kUserPatches = 0x30 << 21;
    static constexpr uint32_t kUserPatchStride = 1 << 14;   // 00 01 00 00
    static constexpr BYTE kUserBankMsb = 87;

    explicit CSimulatedTalvarix(BYTE deviceId = 0x10);

    // Where user patch `slot` begins.
    static uint32_t UserPatchAddress(int slot) { return kUserPatches + uint32_t(slot) * kUserPatchStride; }
    // The leaves of one patch: offset within the patch and size, in address order.
    static std::vector<std::pair<uint32_t, uint32_t>> PatchLeaves();

    // True when the program selected is a user patch (MSB 87, LSB 0 or 1), as the regular-tone
    // check asks; the slot selected then, else -1.
    bool IsRegularTone() const;
    int GetCurrentSlot() const;
    // How many write handshakes were run.
    int GetWriteCount() const;

protected:
    void OnDataSetStored(uint32_t address, uint32_t size) override;
    bool AnswerRequest(uint32_t address, uint32_t size, std::vector<std::vector<BYTE>>& replies) override;

private:
    int CurrentSlotLocked() const;
    int m_writeCount = 0;
};
