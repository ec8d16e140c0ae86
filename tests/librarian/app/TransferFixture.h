#pragma once
// The librarian's transfers wired as the application wires them (two inputs and two outputs
// named "Talvarix", the reader listening on the first input, reader and writer sending through
// the first output), the devices on a virtual MIDI backend, and the simulated instrument behind
// it with the temporary patch, the 256 user patches and the tone type in its memory. Time is
// virtual: waits, pauses and wire time cost nothing.
#include "librarian/app/Data.h"
#include "librarian/app/Reader.h"
#include "librarian/app/Writer.h"
#include "platform/VirtualMidiBackend.h"
#include "tests/support/SimulatedInstrument.h"
#include "tests/support/VirtualClock.h"
#include "toolkit/gt/Progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Records what a transfer shows, and cancels when its `cancelAtBlock`th block message is set.
class CRecordingProgress : public GT::IProgress
{
public:
    void Begin() override { ++begun; }
    void End() override { ++ended; }
    void SetRange(int32_t value) override { range = value; }
    int32_t GetRange() const override { return range; }
    void SetPos(int32_t value) override { pos = value; }
    int32_t GetPos() const override { return pos; }
    void SetMessage(const std::string& message) override { messages.push_back(message); }
    void SetCancelable(bool value) override { cancelable = value; }
    bool IsCancelable() const override { return cancelable; }
    bool IsCanceled() override { return cancelAtBlock > 0 && messages.size() >= cancelAtBlock; }

    int begun = 0;
    int ended = 0;
    int32_t range = 0;
    int32_t pos = 0;
    bool cancelable = false;
    size_t cancelAtBlock = 0;
    std::vector<std::string> messages;
};

// Packed address numbers of the instrument's memory.
constexpr uint32_t kTemporaryPatch = 0x1F << 21;    // 1F 00 00 00
constexpr uint32_t kUserPatches = 0x30 << 21;       // 30 00 00 00
constexpr uint32_t kUserStride = 1 << 14;           // 00 01 00 00
constexpr uint32_t kPatchSpan = 0x1400;             // 00 00 28 00
constexpr uint32_t kToneType = (0x01 << 21) | 4;    // 01 00 00 04

// The byte the instrument holds at `offset` of user patch `slot` before a test changes it:
// distinct per slot and place, so that misplaced data shows.
uint8_t SeedByte(uint32_t slot, uint32_t offset);
// An image of 256 patches whose every block differs from the instrument's, texts set.
CPatchArray MakeDistinctImage(uint8_t salt);
// The instrument's memory: the tone type, the temporary patch and the 256 user patches.
std::vector<CSimulatedInstrument::CRange> InstrumentMemoryMap();
// A regular tone selected and every user patch filled with its SeedByte values.
void SeedInstrument(CSimulatedInstrument& instrument);
// The patch as the instrument holds it in user slot `slot` (or the temporary patch for -1).
CPatch InstrumentPatchOf(const CSimulatedInstrument& instrument, int slot);

// Members are public: the tables of cases arrange the instrument through them.
class CTransferTest : public ::testing::Test
{
public:
    CTransferTest();
    void SetUp() override;
    void TearDown() override;

    // The patch as the instrument holds it in user slot `slot` (or the temporary patch for -1).
    CPatch InstrumentPatch(int slot) const;
    // The data requests and data sets the instrument accepted, as "address size" and address
    // text, for the patch blocks only (the tone request left out).
    std::vector<std::string> BlockRequests() const;
    std::vector<std::string> DataSetAddresses() const;
    // Ticks at which the instrument accepted data sets.
    std::vector<DWORD> DataSetTicks() const;
    // Takes the output's device away, as when the setting is "(none)", and gives it back.
    void RemoveOutputDevice();
    void RestoreOutputDevice();
    // The instrument as SetUp leaves it: normal identity, a regular tone, every reply sent.
    void ResetInstrument();

    CVirtualClock m_clock{1000};
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CSimulatedInstrument m_instrument;
    AReader m_reader;
    CWriter m_writer;
    CRecordingProgress m_progress;
    std::vector<int32_t> m_shown;   // user messages by id
};
