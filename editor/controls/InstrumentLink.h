#pragma once
// What the instrument's own controls need of the rest of the instrument layer: the current
// program, program selection, and the reader's requests for names and for the write handshake.
// The layer installs its implementation; until then the built-in one works from the model's
// values alone and asks the instrument for nothing.
#include "model/CVeyEntityManager.h"

#include <cstdint>

class IInstrumentLink
{
public:
    // Patch states of the navigation.
    enum : int32_t
    {
        kSystemArea = 0,
        kPatchScreen = 1,
        kNegativeState = 2,
    };

    virtual ~IInstrumentLink() = default;

    // The current program as an entity id (the invalid id when it names none).
    virtual CVeyEntityId GetCurrentEntityId() const = 0;
    virtual int32_t GetPatchState() const = 0;
    // Makes the entity the current program in the model (its program values go through the
    // buffer handlers), without flushing.
    virtual bool SelectProgram(const CVeyEntityId& id) = 0;
    // The current patch was selected here: its data is to be read again when the user comes back.
    virtual void MarkReservedRead() = 0;
    virtual bool RequestCurrentPatchName() = 0;
    // Names of `count` patches of a bank from row index `first`.
    virtual bool RequestUserPatchNames(int32_t bank, int32_t first, int32_t count) = 0;
    // The instrument's write handshake for the system area.
    virtual bool RequestWrite() = 0;
    virtual bool IsMidiConnected() const = 0;

    // The installed link, or the built-in one.
    static IInstrumentLink& Get();
    // Null goes back to the built-in link.
    static void Install(IInstrumentLink* link);
};

// The built-in link: the current program is read from and written to the setup's bank select
// and program number values; requests to the instrument report failure.
class CModelInstrumentLink : public IInstrumentLink
{
public:
    CVeyEntityId GetCurrentEntityId() const override;
    int32_t GetPatchState() const override;
    bool SelectProgram(const CVeyEntityId& id) override;
    void MarkReservedRead() override {}
    bool RequestCurrentPatchName() override { return false; }
    bool RequestUserPatchNames(int32_t, int32_t, int32_t) override { return false; }
    bool RequestWrite() override { return false; }
    bool IsMidiConnected() const override;
};
