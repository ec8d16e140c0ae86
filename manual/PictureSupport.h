#pragma once
// What the build-time picture tools of the manuals share: the program runs offscreen in
// temporary settings, user data and single-instance folders, with message boxes answered OK and
// a virtual MIDI system whose ports the set-up dialogs list; actions can be run from inside the
// modal loops the program enters; window pictures are written into the output folder.
#include "platform/Dialog.h"
#include "platform/Shell.h"
#include "platform/VirtualMidiBackend.h"
#include "platform/Wnd.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>

class CPictureSession
{
public:
    explicit CPictureSession(const std::string& outputFolder);
    ~CPictureSession();
    CPictureSession(const CPictureSession&) = delete;
    CPictureSession& operator=(const CPictureSession&) = delete;

    // A temporary folder for the program's settings ("config"), data ("data") or single-instance
    // channel ("channel").
    std::string Folder(const std::string& name) const;

    // Writes the window's picture as <output folder>/<name>; a failure is reported and counted.
    void Save(CWnd& window, const std::string& name);
    // Reports a picture that could not be taken; the tool then fails.
    void Fail(const std::string& why);
    // The first top-level window that is a dialog of the template, or null.
    static CDialog* FindDialog(UINT templateId);
    // Runs the action from the message queue: from inside the next modal loop that pumps it.
    void Post(std::function<void()> action);
    // Lets the queue drain.
    static void Settle();

    int Failures() const { return m_failures; }

private:
    class CActions;
    std::string m_output;
    std::string m_root;
    std::string m_savedDataHome;
    bool m_hadDataHome = false;
    MessageBoxHook m_savedHook;
    CVirtualMidiBackend m_backend;
    std::unique_ptr<CScopedMidiBackend> m_scoped;
    std::unique_ptr<CActions> m_actions;
    int m_failures = 0;
};
