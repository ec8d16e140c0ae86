#include "librarian/app/TransferProgress.h"

#include "toolkit/gt/Progress.h"

CTransferProgress::CTransferProgress(GT::IProgress* progress, int32_t count) : m_progress(progress)
{
    if (!m_progress)
        return;
    m_progress->SetRange(count);
    m_progress->SetPos(0);
    m_progress->SetTitle(std::string());
    m_progress->SetCancelable(true);
    m_progress->Begin();
}

CTransferProgress::~CTransferProgress()
{
    if (m_progress)
        m_progress->End();
}

void CTransferProgress::StepPatch()
{
    if (m_progress)
        m_progress->Step();
}

bool CTransferProgress::BeginBlock(const std::string& message)
{
    if (!m_progress)
        return true;
    m_progress->SetMessage(message);
    return !m_progress->IsCanceled();
}
