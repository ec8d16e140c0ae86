#pragma once
// The editor's reader of instrument data: the Identity Request, the check that the instrument
// plays a regular (user) patch, the data groups requested block by block, the user patch names,
// the write handshake that lets a patch be stored, and the import of a Standard MIDI File of
// data sets. Answers reach the model through the MIDI input itself; the reader only waits for
// them, and takes the few answers the model has no place for (names of other slots, the
// handshake).
#include "editor/instrument/InstrumentBindings.h"
#include "midi/framework/CVeyMidiRequester.h"
#include "model/CVeyAddress.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <vector>

class CEditContext;
class CVeyEntityManager;
class CVeyStruct;

namespace ML
{
class CVantorMessage;
}

// Data sets the reader takes itself, by address range (ordered by the range's begin).
class CVantorMessageHandler
{
public:
    using FHandler = std::function<bool(const ML::CVantorMessage& message)>;
    // A range whose begin is taken already keeps its first handler.
    void Register(const CVeyAddressRange& range, FHandler handler);
    // The handler of the first range that holds the message's address; false when none does.
    bool Dispatch(const ML::CVantorMessage& message) const;

private:
    struct CBeginLess
    {
        bool operator()(const CVeyAddressRange& a, const CVeyAddressRange& b) const { return a.begin < b.begin; }
    };
    std::map<CVeyAddressRange, FHandler, CBeginLess> m_handlers;
};

// How many data blocks (one request or data set each) the groups of a mask span.
class CBufferCounter
{
public:
    enum EGroup : uint8_t
    {
        kSetup = 1,
        kSystem = 2,
        kPatch = 4,          // the current patch, only while it is a user patch
        kPatchDirect = 8,    // the current patch whatever it is (writer and export)
    };
    static int32_t CountGroups(const CInstrumentBindings& bound, const CEditContext& context, uint8_t mask);
    // Structs without children below the struct: 1 for a leaf, 0 for an empty parent.
    static int32_t CountBlocks(const CVeyStruct* s);
};

// Patches to be read once the user has settled on one: the patch name list marks slot 0 (the
// current patch) after it selected another program, and the deferred read takes the marks and
// resets them. Only slot 0 can be marked.
class CReadReserved
{
public:
    static CReadReserved& GetInstance();

    void Mark(int index);
    bool IsMarked(int index) const;
    void Reset();
    bool GetFlag() const { return m_flag; }
    void SetFlag(bool flag) { m_flag = flag; }

private:
    bool m_flag = false;
    std::vector<bool> m_marks = std::vector<bool>(1, false);
};

class AReader : public CVeyMidiRequester
{
public:
    static constexpr int32_t kWriteTimeout = 10000;
    static constexpr uint8_t kAcceptedFamily[2] = {0x3C, 0x02};

    AReader(const CInstrumentBindings& bound, CEditContext& context, CVeyEntityManager& entities);
    ~AReader() override;

    void SetProgress(GT::IProgress* progress) { m_progress = progress; }
    GT::IProgress* GetProgress() const { return m_progress; }

    // Identity Request; false (after message 2) when the instrument does not answer as ours.
    bool RequestIdentity();
    // Asks the instrument for its bank select; false (after message 16) when it plays no user patch.
    bool CheckRegularTone();
    bool RequestGroups(uint8_t mask);
    bool RequestPatch();
    bool RequestCurrentPatchName();
    // Names of `count` user patches of a bank (32 each) from `first`, quietly.
    bool RequestUserPatchNames(int bank, int first, int count);
    // The instrument's consent to store a patch; always true, a failure has shown message 2.
    bool RequestWrite();
    // Data sets of a Standard MIDI File meant for this instrument go into the model and to the
    // instrument. False for a file that cannot be read or parsed; such a file changes nothing.
    bool ReadSmf(std::istream& in);

    bool OnLongMessage(const ML::CLongMessage& message) override;
    bool OnDt1(const ML::CVantorMessage& message) override;

    // The answer of the last write handshake: true when the instrument reported completion.
    bool WasWriteCompleted() const { return m_writeCompleted; }
    // A file larger than this is not a export of instrument data; it is refused unread.
    static constexpr size_t kMaxSmfSize = 16 * 1024 * 1024;

private:
    bool QuietRequest(const CVeyAddress& address, int32_t size);
    bool OnUserPatchName(const ML::CVantorMessage& message);
    bool OnWriteComplete(const ML::CVantorMessage& message);
    uint8_t GetDeviceId() const;

    // Which of the reader's own questions waits, so that its handlers take only their answer: a
    // data set that merely lies in the user area or looks like a completed write must not end
    // the wait of another request.
    enum class EPending
    {
        kNone,
        kName,
        kWrite,
    };

    const CInstrumentBindings& m_bound;
    CEditContext& m_context;
    CVeyEntityManager& m_entities;
    // The model family of the last Identity Reply; -1 while none was ours.
    int32_t m_identifiedModel = -1;
    GT::IProgress* m_progress = nullptr;
    EPending m_pending = EPending::kNone;
    int32_t m_pendingAddress = -1;
    std::vector<uint8_t> m_fileBytes;
    int32_t m_writeAnswer = -1;
    bool m_writeCompleted = false;
    std::shared_ptr<CVantorMessageHandler> m_handler;
};
