#pragma once
// What the editor is editing: the instrument's current program as an entity, the edit mode and
// the navigation state, and the selection of another program on the instrument. The context
// handler keeps the current program on a user patch, the only kind the instrument lets us edit.
#include "editor/instrument/InstrumentBindings.h"
#include "model/CVeyEntityManager.h"
#include "model/IVeyBufferHandler.h"

#include <cstdint>

class AReader;

class CEditContext
{
public:
    enum EPatchState
    {
        kSystemArea = 0,
        kPatchScreen = 1,
        kNegativeState = 2,
    };

    CEditContext(const CInstrumentBindings& bound, CVeyEntityManager& entities) : m_bound(bound), m_entities(entities) {}

    // The reader that reads the newly selected program; none until the layer has made one.
    void SetReader(AReader* reader) { m_reader = reader; }
    AReader* GetReader() const { return m_reader; }

    // The program named by the three keyboard program values, as an entity; the invalid id when
    // no bank holds it.
    CVeyEntityId GetCurrentEntityId() const;
    // True when the current program is one of the instrument's user patches.
    bool IsCurrentUserPatch() const;
    int32_t GetPatchState() const;
    int32_t GetEditMode() const;
    int32_t GetCurrentEditMode() const { return m_currentEditMode; }
    // Keeps the mode the value still holds and moves the navigation state from it to `newMode`.
    void OnEditModeChanged(int32_t newMode);

    // Points the keyboard program values at the entity; through the handler chain or directly.
    // With `send`, flushes the change, lets the instrument switch, checks that it now plays a
    // regular patch and reads that patch.
    bool SelectProgram(const CVeyEntityId& id, bool send, bool throughHandlers);

    bool IsNotRegular() const { return m_notRegular; }
    void SetNotRegular(bool notRegular) { m_notRegular = notRegular; }

private:
    const CInstrumentBindings& m_bound;
    CVeyEntityManager& m_entities;
    AReader* m_reader = nullptr;
    int32_t m_currentEditMode = 0;
    bool m_notRegular = false;
};

// Watches the keyboard program values: a program that is no user patch points the image at user
// patch 1 and raises the not-regular flag, which the next context check reports.
class CContextHandler : public IVeyBufferHandler
{
public:
    CContextHandler(const CInstrumentBindings& bound, CEditContext& context);

    bool OnSetValues(const CVeyValueNumbers& changes) override;
    bool OnValuesChanged(const CVeyValueList& values) override;
    bool OnDataRead(const CVeyValueList& values) override { return OnValuesChanged(values); }
    bool OnValuesReceived(const CVeyValueList& values) override { return OnValuesChanged(values); }

private:
    const CInstrumentBindings& m_bound;
    CEditContext& m_context;
    CVeyValueList m_watched;
};
