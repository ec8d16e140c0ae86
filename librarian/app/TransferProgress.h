#pragma once
// What the transfers share: how a transfer ended, and the progress window's life during one.
#include <cstdint>
#include <string>

namespace GT
{
class IProgress;
}

// How the last transfer ended, for callers that tell a cancel from a failure (the file commands
// report these numbers).
enum ETransferResult : int
{
    kTransferDone = 1,
    kTransferCancelled = 2,
    kTransferFailed = 3,
};

// Opens the progress window for a transfer of `count` patches (no title, Cancel offered) and
// closes it when the transfer ends, however it ends. Without a window it does nothing and
// nothing is ever cancelled.
class CTransferProgress
{
public:
    CTransferProgress(GT::IProgress* progress, int32_t count);
    ~CTransferProgress();
    CTransferProgress(const CTransferProgress&) = delete;
    CTransferProgress& operator=(const CTransferProgress&) = delete;

    // One step per patch, before its blocks.
    void StepPatch();
    // The block's text; false when the user has cancelled.
    bool BeginBlock(const std::string& message);

private:
    GT::IProgress* m_progress;
};
