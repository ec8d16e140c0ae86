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
#include <vector>

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

    // Once the MIDI set-up dialog of the template opens (the caller then opens it), chooses the
    // second entry (the first port after "(none)") in each of the device lists, as a musician
    // chooses the instrument's ports, saves its picture and cancels it.
    void PostMidiSetupPicture(UINT templateId, const std::vector<int>& deviceLists, const std::string& name);

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

// The tools' common entry: checks the arguments (<program folder> <output folder>), makes the
// GUI application, and runs `takePictures` in a session; the exit code is 0 when every picture
// was written.
int RunPictureTool(int argc, char** argv,
                   const std::function<bool(CPictureSession& session, const std::string& programFolder)>& takePictures);
