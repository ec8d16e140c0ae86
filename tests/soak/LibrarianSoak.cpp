// The librarian over a long session, run by hand (./build.sh soak): the 256 user patches written
// and read, and a file of 10,000 patches saved and opened, ROUNDS times against the simulated
// instrument in virtual time; then a read of all 256 under each of SEEDS seeds of an instrument
// that spoils a tenth of its replies, where every read must end done with the instrument's
// patches or with its message.
//
//   q9_soak_librarian [ROUNDS [SEEDS]]   (100, 100)
#include "librarian/app/LibrarianFile.h"
#include "librarian/app/ParameterAddress.h"
#include "tests/librarian/app/TransferFixture.h"
#include "tests/soak/SoakSession.h"
#include "tests/support/TempDir.h"
#include "toolkit/gt/SafeFile.h"

#include <numeric>
#include <string>
#include <vector>

using namespace Soak;

namespace
{
// The transfer fixture outside a test run.
class CLibrarianRig : public CTransferTest
{
public:
    void TestBody() override {}
};

std::vector<int> AllUserSlots()
{
    std::vector<int> slots(256);
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

// The same parts, and with `texts` the same names and memos too.
bool SamePatches(const CPatchArray& a, const CPatchArray& b, bool texts)
{
    if (a.GetSize() != b.GetSize())
        return false;
    for (size_t i = 0; i < a.GetSize(); ++i)
    {
        if (!(a[i].GetParts() == b[i].GetParts()))
            return false;
        for (int text = 0; texts && text < 4; ++text)
            if (a[i].GetText(text) != b[i].GetText(text))
                return false;
    }
    return true;
}

bool SameAsInstrument(const CPatchArray& image, const CSimulatedInstrument& instrument)
{
    for (int slot = 0; slot < 256; ++slot)
        if (!(image[static_cast<size_t>(slot)].GetParts() == InstrumentPatchOf(instrument, slot).GetParts()))
            return false;
    return true;
}

bool SoakLibrarian(int rounds, int seeds)
{
    CSession session("librarian");
    CTempDir folder;
    CLibrarianRig rig;
    rig.SetUp();
    const std::vector<int> slots = AllUserSlots();
    const CPatchArray written = MakeDistinctImage(5);
    // A file of 10,000 patches: the distinct image over and over.
    CPatchArray large;
    while (large.GetSize() < 10000)
        for (size_t i = 0; i < written.GetSize() && large.GetSize() < 10000; ++i)
            large.Add(written[i].Clone());
    const std::string filePath = folder.File("Large.q9l");
    std::string firstFile;
    for (int round = 0; round < rounds; ++round)
    {
        // The simulated instrument logs every message; the log is the rig's, not the program's.
        rig.m_instrument.ClearLogs();
        rig.m_progress.messages.clear();
        rig.m_shown.clear();
        session.Check(rig.m_writer.Write(kAreaUserPatches, slots, written), "the write failed",
                      round);
        session.Check(SameAsInstrument(written, rig.m_instrument), "the write gave other bytes", round);
        CPatchArray read = MakeDistinctImage(6);
        session.Check(rig.m_reader.Read(kAreaUserPatches, slots, read), "the read failed", round);
        session.Check(SamePatches(read, written, false), "the read gave other bytes", round);
        session.Check(rig.m_shown.empty(), "a message was shown", round);

        session.Check(GT::SaveFileAtomically(filePath, [&large](std::ostream& out) { return WriteLibrarianFile(out, large); }),
                      "the file was not saved", round);
        const std::string saved = ReadFileBytes(filePath);
        if (round == 0)
            firstFile = saved;
        session.Check(saved == firstFile, "the file saved other bytes", round);
        CPatchArray opened;
        session.Check(ReadLibrarianFile(filePath, opened) == kFileMessageNone, "the file did not open", round);
        session.Check(SamePatches(opened, large, true), "the file opened other patches", round);
        if (round == 0)
            session.MarkFirstRound();
    }

    int done = 0;
    int failed = 0;
    for (int seed = 1; seed <= seeds; ++seed)
    {
        rig.m_instrument.ClearLogs();
        rig.m_progress.messages.clear();
        rig.m_instrument.SetUnreliable(static_cast<uint32_t>(seed), 10, kLateMs);
        rig.m_shown.clear();
        CPatchArray image = MakeDistinctImage(static_cast<uint8_t>(seed));
        const bool read = rig.m_reader.Read(kAreaUserPatches, slots, image);
        (read ? done : failed) += 1;
        session.Check(read ? rig.m_shown.empty() && SameAsInstrument(image, rig.m_instrument) : rig.m_shown.size() == 1,
                      read ? "a read that succeeded gave other bytes" : "a failed read did not say so once", seed);
        rig.m_instrument.SetUnreliable(0, 0, 0);
        rig.m_clock.Advance(kLateMs);
        rig.m_shown.clear();
        CPatchArray again = MakeDistinctImage(7);
        session.Check(rig.m_reader.Read(kAreaUserPatches, {0, 255}, again) && rig.m_shown.empty(), "the read after it failed",
                      seed);
    }
    const int spoiled = rig.m_instrument.GetSpoiledReplyCount();
    rig.TearDown();
    return session.Report(rounds, seeds, done, failed, spoiled);
}

}

int main(int argc, char** argv)
{
    return Run(SoakLibrarian, argc, argv, 100, 100);
}
