#pragma once
// Copy, paste and initialise of whole parts of the current patch (a tone, an effect, the patch),
// and the effect swapper that keeps each effect type's parameters while the type changes.
#include "editor/instrument/InstrumentBindings.h"
#include "model/CVeyEffectSwapper.h"

#include <cstdint>
#include <vector>

class CVeyStruct;

class CPatchClipboard
{
public:
    // Operation in bits 16-23 (1 copy, 2 paste, 0 initialise), group in 8-15 (2 patch, 4 tone,
    // 6 effect), item in 0-7 (tones 10h-13h; effects 20h MFX, 24h chorus, 25h reverb).
    enum : int32_t
    {
        kInitializePatch = 0x200,
        kCopyTone1 = 0x10410,
        kCopyMfx = 0x10620,
        kCopyChorus = 0x10624,
        kCopyReverb = 0x10625,
        kPasteTone1 = 0x20410,
        kPasteMfx = 0x20620,
        kPasteChorus = 0x20624,
        kPasteReverb = 0x20625,
    };

    bool IsCommandEnabled(int32_t code) const;
    // False, with nothing changed or sent, for a command that is not enabled or a part whose size
    // differs from what was copied.
    bool Execute(int32_t code);

private:
    std::vector<uint8_t>* BufferOf(int32_t group, int32_t item);
    const std::vector<uint8_t>* BufferOf(int32_t group, int32_t item) const;
    static CVeyStruct* TargetOf(int32_t group, int32_t item);

    std::vector<uint8_t> m_tone;
    std::vector<uint8_t> m_mfx;
    std::vector<uint8_t> m_chorus;
    std::vector<uint8_t> m_reverb;
};

// The three effects of the patch with their type values and path tables.
class CEffectSwapper : public CVeyEffectSwapper
{
public:
    explicit CEffectSwapper(const CInstrumentBindings& bound);

    // After a swap the controls of the swapped parameters show the type's own values at once.
    bool OnSetValues(const CVeyValueNumbers& changes) override;

private:
    std::vector<std::pair<CVeyValue*, CVeyStruct*>> m_effects;
};
