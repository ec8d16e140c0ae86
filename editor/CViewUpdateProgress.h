#pragma once
// The view manager's progress display of a long refresh ("Updating."), shown in the progress
// window (CProgressBarB).
#include "toolkit/gt/Progress.h"
#include "ui/panels/CVeyViewManager.h"

class CViewUpdateProgress : public IVeyUpdateProgress
{
public:
    explicit CViewUpdateProgress(GT::IProgress& progress) : m_progress(progress) {}
    static CViewUpdateProgress& GetInstance();

    void SetRange(int32_t range) override { m_progress.SetRange(range); }
    void SetPos(int32_t position) override { m_progress.SetPos(position); }
    int32_t GetPos() const override { return m_progress.GetPos(); }
    void SetMessage(const std::string& message) override { m_progress.SetMessage(message); }
    void Begin() override { m_progress.Begin(); }
    void Step() override { m_progress.Step(); }
    void End() override { m_progress.End(); }

private:
    GT::IProgress& m_progress;
};
