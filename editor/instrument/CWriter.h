#pragma once
// Sends the model to the instrument as data sets, block by block with the sender's 20 ms pause:
// whole groups, the current patch into a user slot, and the same blocks as a Standard MIDI File.
#include "editor/instrument/InstrumentBindings.h"
#include "midi/framework/CVeyDataSmfWriter.h"
#include "midi/framework/CVeyMidiSender.h"

#include <cstdint>
#include <iosfwd>

class CEditContext;
class CVeyEntityId;
class CVeyEntityManager;
class CVeyStruct;

namespace GT
{
class IProgress;
}

class CWriter : public CVeyMidiSender
{
public:
    CWriter(const CInstrumentBindings& bound, CEditContext& context, CVeyEntityManager& entities)
        : m_bound(bound), m_context(context), m_entities(entities)
    {
    }

    void SetProgress(GT::IProgress* progress) { m_progress = progress; }
    GT::IProgress* GetProgress() const { return m_progress; }

    // Every block below the struct, in tree order; stops at the first failed send.
    bool WriteStruct(CVeyStruct& s);
    // Bit 1 setup, 2 system, 4 the current patch, 8 the current patch again, in that order.
    bool WriteGroups(uint8_t mask);
    bool WritePatch();
    // The current patch into the user slot of the entity; false for any other entity.
    bool WritePatchTo(const CVeyEntityId& id);
    // The groups of the mask as a Standard MIDI File, nothing sent to the instrument.
    bool ExportSmf(std::ostream& out, uint8_t mask);

private:
    bool WriteStruct(CVeyStruct& s, int32_t offset);

    const CInstrumentBindings& m_bound;
    CEditContext& m_context;
    CVeyEntityManager& m_entities;
    GT::IProgress* m_progress = nullptr;
    CVeyDataSmfWriter m_file;
};
