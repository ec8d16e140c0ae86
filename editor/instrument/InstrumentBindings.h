#pragma once
// The script's structs and values the instrument layer works with, bound by path once the script
// is read, and the numbers the layer's parts share. Each part takes these (and the entity manager
// or the edit context where it needs them), never the object that composes the layer.
#include <array>
#include <cstdint>

class CVeyStruct;
class CVeyValue;

// Message-table ids the layer shows.
namespace InstrumentMessage
{
constexpr int32_t kReadingSmf = 1;
constexpr int32_t kReadWriteFailed = 2;
constexpr int32_t kMidiNotSetUp = 10;
constexpr int32_t kGettingData = 11;
constexpr int32_t kSynchronizing = 12;
constexpr int32_t kNotRegular = 16;
}

// The bound structs and values, named after their paths.
struct CInstrumentBindings
{
    // The instrument's user patch banks.
    static constexpr int kUserBankCount = 8;

    CVeyStruct* fm = nullptr;
    CVeyStruct* setup = nullptr;
    CVeyStruct* system = nullptr;
    CVeyStruct* pat = nullptr;
    CVeyStruct* mfx = nullptr;
    CVeyStruct* chorus = nullptr;
    CVeyStruct* reverb = nullptr;
    std::array<CVeyStruct*, 4> tones{};
    CVeyValue* kbdPatchBankSelectMsb = nullptr;
    CVeyValue* kbdPatchBankSelectLsb = nullptr;
    CVeyValue* kbdPatchProgramNumber = nullptr;
    CVeyValue* patchName = nullptr;
    CVeyValue* patchCategory = nullptr;
    CVeyValue* mfxType = nullptr;
    CVeyValue* reverbType = nullptr;
    CVeyValue* chorusType = nullptr;
    std::array<CVeyValue*, 4> keyRangeLower{};
    std::array<CVeyValue*, 4> keyRangeUpper{};
    std::array<CVeyValue*, 4> velocityRangeLower{};
    std::array<CVeyValue*, 4> velocityRangeUpper{};
    std::array<CVeyValue*, 4> waveGroupType{};
    std::array<CVeyValue*, 4> waveGroupId{};
    std::array<CVeyValue*, 4> waveNumberL{};
    std::array<CVeyValue*, 4> waveNumberR{};
    CVeyValue* writeRequest = nullptr;
    CVeyValue* writeStart = nullptr;
    CVeyValue* writeComplete = nullptr;
    CVeyValue* moduleType = nullptr;
    CVeyValue* patchToneState = nullptr;
    CVeyValue* patchToneActive = nullptr;
    CVeyValue* selectPanelSw = nullptr;
    CVeyValue* writePanelSw = nullptr;
    CVeyValue* navigationState = nullptr;
    CVeyValue* editMode = nullptr;
    CVeyValue* patchNameListCurrentNumber = nullptr;
    CVeyValue* listCurRangeLo = nullptr;
    CVeyValue* listCurRangeUp = nullptr;
    CVeyValue* listScrollRangeLo = nullptr;
    CVeyValue* listScrollRangeUp = nullptr;
    CVeyValue* listCurrentBank = nullptr;
    CVeyValue* firstVisibleMsb = nullptr;
    CVeyValue* firstVisibleLsb = nullptr;
    CVeyValue* firstVisiblePc = nullptr;
    CVeyValue* categorySelectFlag = nullptr;
    CVeyValue* keyboardView = nullptr;
    std::array<CVeyValue*, 16> channelNotes{};
};
