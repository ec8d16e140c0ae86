#pragma once
// The librarian as the program runs it: the application object started in a temporary program
// folder (with or without an initial file), settings and the single-instance channel in
// temporary folders, message boxes and warnings answered by the test, and the simulated
// instrument behind a virtual MIDI backend in virtual time, wired through the saved MIDI set-up.
#include "librarian/app/LibrarianApp.h"
#include "librarian/app/LibrarianDocuments.h"
#include "librarian/app/LibrarianViews.h"
#include "tests/librarian/app/LibrarianFixtures.h"
#include "tests/librarian/app/MessageBoxAnswers.h"
#include "tests/librarian/app/TransferFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class CLibrarianAppTest : public ::testing::Test
{
public:
    CLibrarianAppTest();
    void SetUp() override;
    void TearDown() override;

    // Writes "Script/Q9EL/InitialData.q9l" into the program folder.
    void WriteInitialFile(const CParameterArray& patches);
    // Runs the start-up with the command line; its result.
    bool Start(const std::string& commandLine = std::string());
    int Exit();
    // Runs what the message queue holds, and the idle pass.
    void Idle();

    CImageDoc& ImageDoc();
    CImageView& ImageView();
    CPatchArray& Image();
    // The open librarian-file documents, oldest first.
    std::vector<CFileDoc*> FileDocs();
    CParamView& ViewOf(CDoc& document);
    // Selects exactly these rows of the view's list.
    void SelectRows(CParamView& view, const std::vector<int>& rows);

    CTempDir m_program;
    CTempDir m_config;
    CTempDir m_channel;
    CTempDir m_files;
    CTempDir m_data;   // the desktop's data folder: the document type is registered there
    CVirtualClock m_clock{1000};
    CVirtualMidiBackend m_backend;
    CScopedMidiBackend m_scoped{&m_backend};
    CSimulatedInstrument m_instrument;
    CRecordingProgress m_progress;
    std::unique_ptr<CApp> m_app;
    bool m_exited = false;
    // Message boxes shown, and the warnings asked (their kinds); warnings are answered with
    // m_warningAnswer and m_dontShowAgain.
    std::vector<std::string> m_boxes;
    std::vector<int> m_warnings;
    bool m_warningAnswer = true;
    bool m_dontShowAgain = false;
    // Answers of the save prompts: 1 yes, 0 no, -1 cancel (IDYES, IDNO, IDCANCEL of the box).
    int m_saveAnswer = 0;
    // The file the Standard MIDI File dialogs choose (empty: cancel).
    std::string m_smfFile;

private:
    std::string m_savedDataHome;
    CInitialFileReset m_reset;
    std::unique_ptr<CMessageBoxAnswers> m_answers;
};
