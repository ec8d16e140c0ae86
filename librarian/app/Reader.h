#pragma once
// Reading patches from the instrument, and from Standard MIDI Files of data sets.
//
// Every transfer with the instrument first checks, in order: that MIDI is set up (message 12),
// that the instrument answers the Identity Request as a Talvarix (message 2), and that a regular
// tone is selected on it (message 20). Reading then requests every block of every listed patch,
// one data request (RQ1) per block, and stores each answer where its address says. Everything
// runs on the GUI thread; answers arrive while the requester pumps the MIDI input.
#include "librarian/app/TransferProgress.h"
#include "midi/framework/CVeyMidiRequester.h"

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

class CParameterArray;

namespace GT
{
class IProgress;
}

class AReader : public CVeyMidiRequester
{
public:
    static constexpr int32_t kMessageNotSetUp = 12;        // "MIDI devices aren't set up correctly..."
    static constexpr int32_t kMessageNoRegularTone = 20;   // "It appears that a tone other than..."
    // A file larger than this is no export of patches: it is refused before it is read.
    static constexpr size_t kMaxImportSize = 16 * 1024 * 1024;

    AReader() = default;
    ~AReader() override = default;

    // The progress window; without one the transfers run silently and cannot be cancelled.
    void SetProgress(GT::IProgress* progress) { m_progress = progress; }
    GT::IProgress* GetProgress() const { return m_progress; }

    // Reads every listed patch of the area into the array. Indices that name no patch of the
    // area or of the array are skipped. False when a check or a request failed, or on cancel.
    bool Read(int area, const std::vector<int>& indices, CParameterArray& patches);

    // Reads a whole Standard MIDI File and stores its data sets for this instrument (temporary
    // patch data into patch 0). False, with the array unchanged, when the stream is not a
    // readable Standard MIDI File; a readable one with nothing for this instrument changes nothing.
    bool ImportSmf(std::istream& in, CParameterArray& patches);
    bool ImportSmfFile(const std::string& path, CParameterArray& patches);
    // The patches the last import stored data into, in ascending order: the rows to show.
    const std::vector<int>& GetImportedPatches() const { return m_importedPatches; }

    // The three checks before a transfer with the instrument; the first failure shows its
    // message and gives false.
    bool CheckInstrument();

    // The answers of the last checks: 0 when accepted, -1 otherwise.
    int32_t GetIdentityAnswer() const { return m_identityAnswer; }
    int32_t GetToneAnswer() const { return m_toneAnswer; }
    ETransferResult GetLastResult() const { return m_lastResult; }

    // Identity replies while the identity check waits.
    bool OnLongMessage(const ML::CLongMessage& message) override;
    // The requested block while reading; the tone type while checking.
    bool OnDt1(const ML::CVantorMessage& message) override;

private:
    bool CheckSetUp();
    bool CheckIdentity();
    bool CheckTone();
    ETransferResult ReadPatches(int area, const std::vector<int>& indices, CParameterArray& patches);
    bool IsIdentityReply(const ML::CLongMessage& message) const;
    uint8_t GetDeviceId() const;

    GT::IProgress* m_progress = nullptr;
    // Set only while a Read runs: data that arrives at any other time is not stored.
    CParameterArray* m_patches = nullptr;
    size_t m_temporaryIndex = 0;
    bool m_busy = false;
    uint8_t m_identityDeviceId = 0;
    int32_t m_identityAnswer = -1;
    int32_t m_toneAnswer = -1;
    ETransferResult m_lastResult = kTransferDone;
    std::vector<int> m_importedPatches;
};
