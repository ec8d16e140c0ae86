#pragma once
// Rules of the instrument layer hooked into the buffer manager's value changes: copying an edit of
// one tone to the other selected tones, asking for the patch names again when the select panel
// closes, and moving the navigation state when the edit mode changes.
#include "model/CVeyBufferHandlers.h"
#include "model/CVeyFadeRangeClipper.h"
#include "model/IVeyBufferHandler.h"

#include <cstdint>
#include <memory>

class CVeyValue;

// Copies a change inside one of the four tone structs to the same place in the other tones the
// selection value names (bit n for tone n); idle while exactly one tone is selected.
class CToneSynchronizer : public IVeyBufferHandler
{
public:
    // The selection value and the four tone structs are looked up by their paths.
    CToneSynchronizer();
    bool OnValuesChanged(const CVeyValueList& values) override;
    bool IsBound() const { return m_selection != nullptr; }

private:
    CVeyValue* m_selection = nullptr;
    CVeyBufferHandlers m_handlers;   // owns the synchronizer
};

// Keeps each tone's key range and velocity range in order: a lower bound moved above its upper
// bound takes the upper bound along, and the other way round.
class CFadeRangeClipper : public CVeyFadeRangeClipper
{
public:
    // The pairs are looked up by their paths; a pair the script lacks is left out.
    CFadeRangeClipper();
};

// Queues "ReadReservedPatches" when the select panel switch goes from 2 (open) to 0.
class CEntityNameHandler : public IVeyBufferHandler
{
public:
    bool OnSetValues(const CVeyValueNumbers& changes) override;
};

// The navigation state that corresponds, after a change of the edit mode, to the place the user
// was at in the other mode.
class CNavigationStateManager
{
public:
    static constexpr int32_t kStateCount = 17;

    // The state after the edit mode goes from `oldMode` to `newMode`; a mode other than 0 or 1
    // or a state outside 0..16 keeps the state.
    static int32_t Convert(int32_t oldMode, int32_t state, int32_t newMode);
    // Stores the converted state into the navigation state value without any handler seeing it,
    // and marks it changed so the views follow.
    static void Navigate(int32_t oldMode, int32_t newMode);
};
