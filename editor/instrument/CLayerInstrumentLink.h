#pragma once
// The instrument layer as the instrument's controls see it: the current program and program
// selection through the edit context, and the name, write and reserved-read requests through the
// reader. Installed while the layer is set up; the controls fall back to the model alone without it.
#include "editor/controls/InstrumentLink.h"

class CEditContext;

class CLayerInstrumentLink : public CModelInstrumentLink
{
public:
    explicit CLayerInstrumentLink(CEditContext& context) : m_context(context) {}

    CVeyEntityId GetCurrentEntityId() const override;
    bool SelectProgram(const CVeyEntityId& id) override;
    void MarkReservedRead() override;
    bool RequestCurrentPatchName() override;
    bool RequestUserPatchNames(int32_t bank, int32_t first, int32_t count) override;
    bool RequestWrite() override;

private:
    CEditContext& m_context;
};
