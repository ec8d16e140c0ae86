#pragma once
// The diagnostic output: every "Unable to ..." line, unknown-tags line and dump of the model,
// the MIDI layer and the panels goes here. It keeps the most recent lines in memory; setting the
// environment variable Q9_TRACE to a non-empty value also echoes them to standard error. A window
// that wants to show them installs itself as the forward sink.
#include "toolkit/gt/TextOut.h"

#include <deque>
#include <mutex>
#include <string>

namespace GT
{
class CTraceTextOut : public ATextOut
{
public:
    static constexpr size_t kMaxLines = 10000;

    CTraceTextOut();

    // Everything kept so far, oldest line first, lines joined with '\n'.
    std::string GetText() const;
    void Clear();

    // Text written from now on is passed on to `sink` too (null stops it). Not owned.
    void SetForward(ATextOut* sink);
    // Text written from now on is echoed to standard error too, as Q9_TRACE does: a program that
    // keeps no diagnostic window open shows its diagnostics where a terminal or a desktop's log
    // sees them.
    void EchoToStandardError();

protected:
    void WriteRaw(const std::string& text) override;

private:
    mutable std::mutex m_mutex;
    std::deque<std::string> m_lines;   // the last one may be unfinished
    bool m_echo = false;
    ATextOut* m_forward = nullptr;
};
}

// The process's diagnostic output, made on first use; never fails and never stops the caller.
GT::CTraceTextOut& GetTraceTextOut();
