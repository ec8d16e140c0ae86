// The editor over a long session, run by hand (./build.sh soak): ReadAll, WriteAll, and the
// document saved and opened, ROUNDS times against the simulated instrument in virtual time; then
// ReadAll once under each of SEEDS seeds of an instrument that spoils a tenth of its replies,
// where every read must end with the instrument's image or its message and the old image.
//
//   q9_soak_editor [ROUNDS [SEEDS]]      (1000, 200)
#include "editor/instrument/CBufferAccessor.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "tests/editor/instrument/InstrumentRig.h"
#include "tests/soak/SoakSession.h"
#include "tests/support/TempDir.h"
#include "toolkit/gt/TraceTextOut.h"

#include <cstdio>
#include <string>
#include <vector>

using namespace Soak;

namespace
{
bool SoakEditor(int rounds, int seeds)
{
    CSession session("editor");
    CTempDir folder;
    std::vector<int32_t> shown;
    CVeyMidiRequester::SetMessageShower([&shown](int32_t id) { shown.push_back(id); });
    CInstrumentRig rig;
    if (!rig.SetUp(folder.File("ViewState.txt")))
    {
        std::printf("editor: the rig does not set up: %s\n", GetTraceTextOut().GetText().c_str());
        return false;
    }
    CVeyDataFile& document = CVeyDataFile::GetInstance();
    const std::string documentPath = folder.File("Session.q9e");
    const std::vector<BYTE> instrumentImage = rig.InstrumentImage();
    std::string firstDocument;
    for (int round = 0; round < rounds; ++round)
    {
        // The simulated instrument logs every message; the log is the rig's, not the program's.
        rig.instrument.ClearLogs();
        shown.clear();
        session.Check(rig.accessor.ReadAll() && shown.empty(), "the read failed", round);
        session.Check(rig.EditorImage() == instrumentImage, "the read gave other bytes", round);
        session.Check(rig.accessor.WriteAll() && shown.empty(), "the write failed", round);
        session.Check(rig.InstrumentImage() == instrumentImage, "the write gave other bytes", round);
        session.Check(document.Save(documentPath), "the document was not saved", round);
        const std::string saved = ReadFileBytes(documentPath);
        if (round == 0)
            firstDocument = saved;
        session.Check(saved == firstDocument, "the document saved other bytes", round);
        session.Check(document.Load(documentPath), "the document did not open", round);
        session.Check(rig.EditorImage() == instrumentImage, "the document opened other bytes", round);
        if (round == 0)
            session.MarkFirstRound();
    }

    int done = 0;
    int failed = 0;
    for (int seed = 1; seed <= seeds; ++seed)
    {
        // The image differs from the instrument's, so that a mix would show.
        CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
        buffers.SetText(buffers.FindValueOrNull("fm.pat.common.patchName"), "Seed " + std::to_string(seed % 10000000));
        buffers.ClearChanges();
        const std::vector<BYTE> before = rig.EditorImage();
        rig.instrument.ClearLogs();
        rig.instrument.SetUnreliable(static_cast<uint32_t>(seed), 10, kLateMs);
        shown.clear();
        const bool read = rig.accessor.ReadAll();
        (read ? done : failed) += 1;
        session.Check(read ? shown.empty() && rig.EditorImage() == instrumentImage
                           : shown.size() == 1 && rig.EditorImage() == before,
                      read ? "a read that succeeded gave other bytes" : "a failed read changed the image", seed);
        rig.instrument.SetUnreliable(0, 0, 0);
        rig.clock.Advance(kLateMs);
        shown.clear();
        session.Check(rig.accessor.ReadAll() && rig.EditorImage() == instrumentImage, "the read after it failed", seed);
    }
    const int spoiled = rig.instrument.GetSpoiledReplyCount();
    rig.TearDown();
    CVeyMidiRequester::SetMessageShower(nullptr);
    return session.Report(rounds, seeds, done, failed, spoiled);
}

}

int main(int argc, char** argv)
{
    return Run(SoakEditor, argc, argv, 1000, 200);
}
